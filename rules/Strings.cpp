#include "rules/Strings.h"

namespace {
struct Entry {
    int Id;
    const char* Text;
};

const Entry kTable[] = {
    {100, "Tarnel"},
    {101, "Cannot detect this device."},
    {102, "Cannot take effect all parameter."},
    {103, "Please input a correct date."},
    {104, "Please input correct time."},
    {105, "Please input correct GMT."},
    {106, "\"Unique ID\" is a illegal value."},
    {107, "\"Main IP\" is a illegal value."},
    {108, "\"Backup IP\" is a illegal value."},
    {109, "\"Group ID\" is a illegal value."},
    {110, "\"Default Gateway\" is a illegal value."},
    {111, "\"Subnet Mask\" is a illegal value."},
    {112, "\"Trap1\" is a illegal value."},
    {113, "\"Trap2\" is a illegal value."},
    {114, "\"Term\" is a illegal value."},
    {115, "\"Log\" is a illegal value."},
    {116, "\"OPT IP1\" is a illegal value."},
    {117, "\"OPT IP2\" is a illegal value."},
    {118, "\"OPT IP3\" is a illegal value."},
    {119, "\"OPT Port1\" is a illegal value."},
    {120, "\"OPT Port2\" is a illegal value."},
    {121, "\"OPT Port3\" is a illegal value."},
    {122, "\"Time Out\" is a illegal value."},
    {123, "The mask value of \"Main IP\" and \"Default Gateway\" is different."},
    {124, "Cannot save the device file \"%s\". The list is not saved."},
    {130, "Cannot read the device file \"%s\": %r. The list is unchanged."},
    {131, "\"%s\" is not a device file. The list is unchanged."},
    {132, "The device file \"%s\" holds more devices than the list can hold; devices left out: %n."},
    {133, "The device file \"%s\" holds %n devices that are not in the list. Saving over it removes them "
          "from the file. Save anyway?"},
    {134, "Save changes to %s?"},
    {135, "The device list is full (256 devices): %n answers from further devices were left out."},
    {150, "It is necessary to reboot the device for the reflection of these setting.\nMay I reboot the device?"},
    {160, "%s is not a key of this setting."},
    {161, "The device does not report %s."},
    {162, "%s is empty: an empty value cannot be sent."},
    {163, "%s is longer than %d characters."},
    {164, "%s holds a character that cannot be sent (%s)."},
    {200, "This application is already running."},
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
