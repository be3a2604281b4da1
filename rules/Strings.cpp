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
    {100, QT_TRANSLATE_NOOP("Strings", "Tarnel")},
    {101, QT_TRANSLATE_NOOP("Strings", "Cannot detect this device.")},
    {102, QT_TRANSLATE_NOOP("Strings", "Cannot take effect all parameter.")},
    {103, QT_TRANSLATE_NOOP("Strings", "Please input a correct date.")},
    {104, QT_TRANSLATE_NOOP("Strings", "Please input correct time.")},
    {105, QT_TRANSLATE_NOOP("Strings", "Please input correct GMT.")},
    {106, QT_TRANSLATE_NOOP("Strings", "\"Unique ID\" is a illegal value.")},
    {107, QT_TRANSLATE_NOOP("Strings", "\"Main IP\" is a illegal value.")},
    {108, QT_TRANSLATE_NOOP("Strings", "\"Backup IP\" is a illegal value.")},
    {109, QT_TRANSLATE_NOOP("Strings", "\"Group ID\" is a illegal value.")},
    {110, QT_TRANSLATE_NOOP("Strings", "\"Default Gateway\" is a illegal value.")},
    {111, QT_TRANSLATE_NOOP("Strings", "\"Subnet Mask\" is a illegal value.")},
    {112, QT_TRANSLATE_NOOP("Strings", "\"Trap1\" is a illegal value.")},
    {113, QT_TRANSLATE_NOOP("Strings", "\"Trap2\" is a illegal value.")},
    {114, QT_TRANSLATE_NOOP("Strings", "\"Term\" is a illegal value.")},
    {115, QT_TRANSLATE_NOOP("Strings", "\"Log\" is a illegal value.")},
    {116, QT_TRANSLATE_NOOP("Strings", "\"OPT IP1\" is a illegal value.")},
    {117, QT_TRANSLATE_NOOP("Strings", "\"OPT IP2\" is a illegal value.")},
    {118, QT_TRANSLATE_NOOP("Strings", "\"OPT IP3\" is a illegal value.")},
    {119, QT_TRANSLATE_NOOP("Strings", "\"OPT Port1\" is a illegal value.")},
    {120, QT_TRANSLATE_NOOP("Strings", "\"OPT Port2\" is a illegal value.")},
    {121, QT_TRANSLATE_NOOP("Strings", "\"OPT Port3\" is a illegal value.")},
    {122, QT_TRANSLATE_NOOP("Strings", "\"Time Out\" is a illegal value.")},
    {123, QT_TRANSLATE_NOOP("Strings", "The mask value of \"Main IP\" and \"Default Gateway\" is different.")},
    {124, QT_TRANSLATE_NOOP("Strings", "Cannot save the device file \"%s\". The list is not saved.")},
    {130, QT_TRANSLATE_NOOP("Strings", "Cannot read the device file \"%s\": %r. The list is unchanged.")},
    {131, QT_TRANSLATE_NOOP("Strings", "\"%s\" is not a device file. The list is unchanged.")},
    {132, QT_TRANSLATE_NOOP("Strings", "The device file \"%s\" holds more devices than the list can hold; devices left "
                                       "out: %n.")},
    {133, QT_TRANSLATE_NOOP("Strings", "The device file \"%s\" holds %n devices that are not in the list. Saving over "
                                       "it removes them from the file. Save anyway?")},
    {134, QT_TRANSLATE_NOOP("Strings", "Save changes to %s?")},
    {135, QT_TRANSLATE_NOOP("Strings", "The device list is full (256 devices): %n answers from further devices were "
                                       "left out.")},
    {150, QT_TRANSLATE_NOOP("Strings", "It is necessary to reboot the device for the reflection of these setting.\n"
                                       "May I reboot the device?")},
    {160, QT_TRANSLATE_NOOP("Strings", "%s is not a key of this setting.")},
    {161, QT_TRANSLATE_NOOP("Strings", "The device does not report %s.")},
    {162, QT_TRANSLATE_NOOP("Strings", "%s is empty: an empty value cannot be sent.")},
    {163, QT_TRANSLATE_NOOP("Strings", "%s is longer than %d characters.")},
    {164, QT_TRANSLATE_NOOP("Strings", "%s holds a character that cannot be sent (%s).")},
    {200, QT_TRANSLATE_NOOP("Strings", "This application is already running.")},
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
