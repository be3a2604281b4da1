#include "files/Version.h"

#include <cstring>

#include "files/tarnel_version.h"

bool ReadVersionInfo(TVersionRecord& record) {
    std::memset(&record, 0, sizeof record);
    const char* texts[VER_SLOTS] = {};
    texts[VER_COMMENTS] = TARNEL_COMMENTS;
    texts[VER_COMPANY_NAME] = TARNEL_COMPANY_NAME;
    texts[VER_FILE_DESCRIPTION] = TARNEL_FILE_DESCRIPTION;
    texts[VER_FILE_VERSION] = TARNEL_FILE_VERSION;
    texts[VER_INTERNAL_NAME] = TARNEL_PRODUCT_NAME;
    texts[VER_LEGAL_COPYRIGHT] = TARNEL_LEGAL_COPYRIGHT;
    texts[VER_LEGAL_TRADEMARKS] = TARNEL_PRODUCT_NAME;
    texts[VER_ORIGINAL_FILENAME] = TARNEL_ORIGINAL_FILENAME;
    texts[VER_PRODUCT_NAME] = TARNEL_PRODUCT_NAME;
    texts[VER_PRODUCT_VERSION] = TARNEL_PRODUCT_VERSION;
    texts[VER_PRIVATE_BUILD] = "";
    texts[VER_SPECIAL_BUILD] = "";
    for (int i = 0; i < VER_SLOTS; ++i)
        std::strncpy(record.Slot[i], texts[i], sizeof record.Slot[i] - 1);
    return true;
}
