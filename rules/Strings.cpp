#include "rules/Strings.h"

namespace {
struct Entry {
    int Id;
    const char* Text;
};

const Entry kTable[] = {
    {MSG_TITLE, "Tarnel"},
    {MSG_NO_ANSWER, "Cannot detect this device."},
    {MSG_NAK, "Cannot take effect all parameter."},
    {MSG_BAD_DATE, "Please input a correct date."},
    {MSG_BAD_TIME, "Please input correct time."},
    {MSG_BAD_GMT, "Please input correct GMT."},
    {MSG_BAD_UNIQUE_ID, "\"Unique ID\" is a illegal value."},
    {MSG_BAD_MAIN_IP, "\"Main IP\" is a illegal value."},
    {MSG_BAD_BACKUP_IP, "\"Backup IP\" is a illegal value."},
    {MSG_BAD_GROUP_ID, "\"Group ID\" is a illegal value."},
    {MSG_BAD_GATEWAY, "\"Default Gateway\" is a illegal value."},
    {MSG_BAD_MASK, "\"Subnet Mask\" is a illegal value."},
    {MSG_BAD_TRAP1, "\"Trap1\" is a illegal value."},
    {MSG_BAD_TRAP2, "\"Trap2\" is a illegal value."},
    {MSG_BAD_TERM, "\"Term\" is a illegal value."},
    {MSG_BAD_LOG, "\"Log\" is a illegal value."},
    {MSG_BAD_OPT_IP1, "\"OPT IP1\" is a illegal value."},
    {MSG_BAD_OPT_IP2, "\"OPT IP2\" is a illegal value."},
    {MSG_BAD_OPT_IP3, "\"OPT IP3\" is a illegal value."},
    {MSG_BAD_OPT_PORT1, "\"OPT Port1\" is a illegal value."},
    {MSG_BAD_OPT_PORT2, "\"OPT Port2\" is a illegal value."},
    {MSG_BAD_OPT_PORT3, "\"OPT Port3\" is a illegal value."},
    {MSG_BAD_TIME_OUT, "\"Time Out\" is a illegal value."},
    {MSG_MASK_MISMATCH, "The mask value of \"Main IP\" and \"Default Gateway\" is different."},
    {MSG_SAVE_FAILED, "Cannot save the device file \"%s\". The list is not saved."},
    {MSG_OPEN_UNREADABLE, "Cannot read the device file \"%s\": %r. The list is unchanged."},
    {MSG_OPEN_FOREIGN, "\"%s\" is not a device file. The list is unchanged."},
    {MSG_OPEN_LEFT_OUT, "The device file \"%s\" holds more devices than the list can hold; devices left out: %n."},
    {MSG_SAVE_FEWER, "The device file \"%s\" holds %n devices that are not in the list. Saving over it removes them "
                       "from the file. Save anyway?"},
    {MSG_SAVE_CHANGES, "Save changes to %s?"},
    {MSG_LIST_FULL, "The device list is full (256 devices): %n answers from further devices were left out."},
    {MSG_REBOOT, "It is necessary to reboot the device for the reflection of these setting.\nMay I reboot the device?"},
    {MSG_UNKNOWN_KEY, "%s is not a key of this setting."},
    {MSG_NOT_REPORTED, "The device does not report %s."},
    {MSG_EMPTY_VALUE, "%s is empty: an empty value cannot be sent."},
    {MSG_TOO_LONG, "%s is longer than %d characters."},
    {MSG_BAD_BYTE, "%s holds a character that cannot be sent (%s)."},
    {MSG_RUNNING, "This application is already running."},
};
}  // namespace

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
