#include "rules/Strings.h"

// Marks each text for the translation tools, which read the source; here, with
// no toolkit, it is the text itself.  The windows translate when they show it.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, text) text
#endif

namespace {
struct Entry {
    int Id;
    const char* Text;
};

const Entry kTable[] = {
    {MSG_TITLE, QT_TRANSLATE_NOOP("Strings", "Tarnel")},
    {MSG_NO_ANSWER, QT_TRANSLATE_NOOP("Strings", "Cannot detect this device.")},
    {MSG_NAK, QT_TRANSLATE_NOOP("Strings", "Cannot take effect all parameter.")},
    {MSG_BAD_DATE, QT_TRANSLATE_NOOP("Strings", "Please input a correct date.")},
    {MSG_BAD_TIME, QT_TRANSLATE_NOOP("Strings", "Please input correct time.")},
    {MSG_BAD_GMT, QT_TRANSLATE_NOOP("Strings", "Please input correct GMT.")},
    {MSG_BAD_UNIQUE_ID, QT_TRANSLATE_NOOP("Strings", "\"Unique ID\" is a illegal value.")},
    {MSG_BAD_MAIN_IP, QT_TRANSLATE_NOOP("Strings", "\"Main IP\" is a illegal value.")},
    {MSG_BAD_BACKUP_IP, QT_TRANSLATE_NOOP("Strings", "\"Backup IP\" is a illegal value.")},
    {MSG_BAD_GROUP_ID, QT_TRANSLATE_NOOP("Strings", "\"Group ID\" is a illegal value.")},
    {MSG_BAD_GATEWAY, QT_TRANSLATE_NOOP("Strings", "\"Default Gateway\" is a illegal value.")},
    {MSG_BAD_MASK, QT_TRANSLATE_NOOP("Strings", "\"Subnet Mask\" is a illegal value.")},
    {MSG_BAD_TRAP1, QT_TRANSLATE_NOOP("Strings", "\"Trap1\" is a illegal value.")},
    {MSG_BAD_TRAP2, QT_TRANSLATE_NOOP("Strings", "\"Trap2\" is a illegal value.")},
    {MSG_BAD_TERM, QT_TRANSLATE_NOOP("Strings", "\"Term\" is a illegal value.")},
    {MSG_BAD_LOG, QT_TRANSLATE_NOOP("Strings", "\"Log\" is a illegal value.")},
    {MSG_BAD_OPT_IP1, QT_TRANSLATE_NOOP("Strings", "\"OPT IP1\" is a illegal value.")},
    {MSG_BAD_OPT_IP2, QT_TRANSLATE_NOOP("Strings", "\"OPT IP2\" is a illegal value.")},
    {MSG_BAD_OPT_IP3, QT_TRANSLATE_NOOP("Strings", "\"OPT IP3\" is a illegal value.")},
    {MSG_BAD_OPT_PORT1, QT_TRANSLATE_NOOP("Strings", "\"OPT Port1\" is a illegal value.")},
    {MSG_BAD_OPT_PORT2, QT_TRANSLATE_NOOP("Strings", "\"OPT Port2\" is a illegal value.")},
    {MSG_BAD_OPT_PORT3, QT_TRANSLATE_NOOP("Strings", "\"OPT Port3\" is a illegal value.")},
    {MSG_BAD_TIME_OUT, QT_TRANSLATE_NOOP("Strings", "\"Time Out\" is a illegal value.")},
    {MSG_MASK_MISMATCH, QT_TRANSLATE_NOOP("Strings", "The mask value of \"Main IP\" and \"Default Gateway\" is different.")},
    {MSG_SAVE_FAILED, QT_TRANSLATE_NOOP("Strings", "Cannot save the device file \"%s\". The list is not saved.")},
    {MSG_OPEN_UNREADABLE, QT_TRANSLATE_NOOP("Strings", "Cannot read the device file \"%s\": %r. The list is unchanged.")},
    {MSG_OPEN_FOREIGN, QT_TRANSLATE_NOOP("Strings", "\"%s\" is not a device file. The list is unchanged.")},
    {MSG_OPEN_LEFT_OUT, QT_TRANSLATE_NOOP("Strings", "The device file \"%s\" holds more devices than the list can hold; devices left "
                                       "out: %n.")},
    {MSG_SAVE_FEWER, QT_TRANSLATE_NOOP("Strings", "The device file \"%s\" holds %n devices that are not in the list. Saving over "
                                       "it removes them from the file. Save anyway?")},
    {MSG_SAVE_CHANGES, QT_TRANSLATE_NOOP("Strings", "Save changes to %s?")},
    {MSG_LIST_FULL, QT_TRANSLATE_NOOP("Strings", "The device list is full (256 devices): %n answers from further devices were "
                                       "left out.")},
    {MSG_REBOOT, QT_TRANSLATE_NOOP("Strings", "It is necessary to reboot the device for the reflection of these setting.\n"
                                       "May I reboot the device?")},
    {MSG_UNKNOWN_KEY, QT_TRANSLATE_NOOP("Strings", "%s is not a key of this setting.")},
    {MSG_NOT_REPORTED, QT_TRANSLATE_NOOP("Strings", "The device does not report %s.")},
    {MSG_EMPTY_VALUE, QT_TRANSLATE_NOOP("Strings", "%s is empty: an empty value cannot be sent.")},
    {MSG_TOO_LONG, QT_TRANSLATE_NOOP("Strings", "%s is longer than %d characters.")},
    {MSG_BAD_BYTE, QT_TRANSLATE_NOOP("Strings", "%s holds a character that cannot be sent (%s).")},
    {MSG_RUNNING, QT_TRANSLATE_NOOP("Strings", "This application is already running.")},
};
}  // namespace

std::vector<int> MessageIds() {
    std::vector<int> ids;
    for (const Entry& e : kTable) ids.push_back(e.Id);
    return ids;
}

const char* MessageText(int id) {
    for (const Entry& e : kTable)
        if (e.Id == id) return e.Text;
    return "";
}

std::string ListFullText(uint32_t leftOut) {
    std::string text = MessageText(MSG_LIST_FULL);
    text.replace(text.find("%n"), 2, std::to_string(leftOut));
    return text;
}
