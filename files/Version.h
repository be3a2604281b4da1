// The program's own version texts, filled from constants fixed at build time.
#pragma once

enum VersionSlot {
    VER_COMMENTS, VER_COMPANY_NAME, VER_FILE_DESCRIPTION, VER_FILE_VERSION, VER_INTERNAL_NAME,
    VER_LEGAL_COPYRIGHT, VER_LEGAL_TRADEMARKS, VER_ORIGINAL_FILENAME, VER_PRODUCT_NAME,
    VER_PRODUCT_VERSION, VER_PRIVATE_BUILD, VER_SPECIAL_BUILD, VER_SLOTS
};

struct TVersionRecord {
    char Slot[VER_SLOTS][260];
};

// Fills every slot (empty where the build gives no text); true when the texts
// were found, as they always are in a build of this project.
bool ReadVersionInfo(TVersionRecord& record);
