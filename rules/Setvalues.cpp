#include "rules/Setvalues.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "rules/Datecheck.h"
#include "rules/Netcheck.h"
#include "link/Protocol.h"
#include "link/Setframe.h"
#include "rules/Strings.h"

namespace {
// One edit of a setup window: the record field it fills, what it takes, how
// many characters a user may type, and the window's message for a value it
// refuses (0: the window has none).
struct Edit {
    const char* Name;
    int Key;
    EditForm Form;
    int MaxLength;
    int Message;
};

// In NetRow order, the order of the window's checks.
const std::array<Edit, NET_ROWS> kNetwork = [] {
    std::array<Edit, NET_ROWS> edits{};
    for (size_t i = 0; i < edits.size(); ++i) {
        const NetworkFieldSpec& f = NetworkFields[i];
        edits[i] = {KeyFields[f.Key].Name, f.Key, f.Form, f.Length, f.Message};
    }
    return edits;
}();

const Edit kInfo[4] = {
    {"CONT", KEY_CONT, EditForm::Text, 20, 0},
    {"NAME", KEY_NAME, EditForm::Text, 20, 0},
    {"LOC", KEY_LOC, EditForm::Text, 20, 0},
    {"UNIQ", KEY_UNIQ, EditForm::Signed, 3, MSG_BAD_UNIQUE_ID},
};

// In DateEdit order; the first five make up YMDHM.
const Edit kDate[DATE_EDITS] = {
    {DateKeys[0], KEY_YMDHM, EditForm::Digits, 4, MSG_BAD_DATE},
    {DateKeys[1], KEY_YMDHM, EditForm::Digits, 2, MSG_BAD_DATE},
    {DateKeys[2], KEY_YMDHM, EditForm::Digits, 2, MSG_BAD_DATE},
    {DateKeys[3], KEY_YMDHM, EditForm::Digits, 2, MSG_BAD_TIME},
    {DateKeys[4], KEY_YMDHM, EditForm::Digits, 2, MSG_BAD_TIME},
    {DateKeys[5], KEY_GMT, EditForm::Signed, 3, MSG_BAD_GMT},
};

struct EditList {
    const Edit* First;
    size_t Count;
};

EditList EditsOf(int kind) {
    switch (kind) {
        case KIND_NETWORK: return {kNetwork.data(), kNetwork.size()};
        case KIND_DEVINFO: return {kInfo, 4};
        case KIND_DATE: return {kDate, DATE_EDITS};
        default: return {nullptr, 0};
    }
}

// The message's "%s" and "%d" filled in order.
std::string Compose(int id, const std::string& first, const std::string& second = {}) {
    std::string text = MessageText(id);
    size_t from = 0;
    for (const std::string* arg : {&first, &second}) {
        const size_t at = text.find('%', from);
        if (at == std::string::npos || at + 1 >= text.size()) break;
        text.replace(at, 2, *arg);
        from = at + arg->size();  // a '%' in a key name is not a placeholder
    }
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Bytes end an item (0xFF) or a frame (0x02, 0x03) on the wire, and no edit
// holds a control character.
int ForbiddenByte(const std::string& text) {
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == ITEM_END) return c;
    }
    return -1;
}

// Four groups joined by dots, each of at most three places holding a digit or
// the mask's blank.
bool AddressForm(const std::string& text) {
    int groups = 1, places = 0;
    for (char c : text) {
        if (c == '.') {
            ++groups;
            places = 0;
        } else if ((IsDigit(c) || c == ' ') && ++places <= 3) {
            continue;
        } else {
            return false;
        }
    }
    return groups == 4;
}

bool NumberForm(const std::string& text, bool sign) {
    size_t i = sign && !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    for (; i < text.size(); ++i)
        if (!IsDigit(text[i])) return false;
    return true;
}

// What the edit takes, in words.
std::string FormText(const Edit& e) {
    const std::string n = std::to_string(e.MaxLength);
    switch (e.Form) {
        case EditForm::Address: return "four dotted decimal parts of up to three digits";
        case EditForm::Digits: return "up to " + n + " digits";
        case EditForm::Signed: return "up to " + n + " characters: digits, a sign before them";
        case EditForm::Text: return "up to " + n + " Latin-1 characters";
    }
    return {};
}

SetProblem Problem(SetFault fault, const Edit& e, int id, std::string text) {
    return {fault, e.Name, id, std::move(text), FormText(e)};
}

// What an edit could not hold, if anything.
// current: the device's row, or nullptr to leave out what depends on it.
void CheckEditHolds(const Edit& e, const std::string& text, const TDeviceRec* current, std::vector<SetProblem>& out) {
    // A refused value of a checked edit gets the window's own message for it.
    const auto refuse = [&](SetFault fault, int ownId, const std::string& arg) {
        if (e.Message != 0) out.push_back(Problem(fault, e, e.Message, MessageText(e.Message)));
        else out.push_back(Problem(fault, e, ownId, Compose(ownId, e.Name, arg)));
    };
    if (current != nullptr && !HasKey(*current, e.Key)) {
        // The five date edits share one field: name it once.
        const std::string said = Compose(MSG_NOT_REPORTED, KeyFields[e.Key].Name);
        if (out.empty() || out.back().Text != said) out.push_back(Problem(SetFault::NotReported, e, MSG_NOT_REPORTED, said));
    } else if (const int c = ForbiddenByte(text); c >= 0) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%02X", c);
        out.push_back(Problem(SetFault::BadByte, e, MSG_BAD_BYTE, Compose(MSG_BAD_BYTE, e.Name, hex)));
    } else if (text.empty() && e.Form == EditForm::Text) {
        out.push_back(Problem(SetFault::Empty, e, MSG_EMPTY_VALUE, Compose(MSG_EMPTY_VALUE, e.Name)));
    } else if (text.size() > static_cast<size_t>(e.MaxLength)) {
        refuse(SetFault::TooLong, MSG_TOO_LONG, std::to_string(e.MaxLength));
    } else if (e.Form == EditForm::Address && AddressForm(text) && HasLeadingZero(text)) {
        out.push_back(Problem(SetFault::BadForm, e, e.Message,
                              e.Name + std::string(" ") + text +
                                  ": a part begins with 0, which some read as octal (010 as 8), so which address "
                                  "the device takes is unsure; write it without the leading zero"));
    } else if ((e.Form == EditForm::Address && !AddressForm(text)) ||
               ((e.Form == EditForm::Digits || e.Form == EditForm::Signed) &&
                !NumberForm(text, e.Form == EditForm::Signed))) {
        refuse(SetFault::BadForm, 0, {});
    }
}

const Edit* Find(EditList list, const std::string& name) {
    for (size_t i = 0; i < list.Count; ++i)
        if (name == list.First[i].Name) return &list.First[i];
    return nullptr;
}

std::string Value(const Edit& e, const SetValues& requested, const TDeviceRec& current) {
    const auto it = requested.find(e.Name);
    return it != requested.end() ? it->second : std::string(FieldText(current, e.Key));
}

void Put(TDeviceRec& r, int key, const std::string& text) {
    std::memcpy(FieldOf(r, key), text.data(), std::min(text.size(), static_cast<size_t>(KeyFields[key].Width)));
}

void CheckNetwork(const SetValues& requested, const TDeviceRec& current, SetVerdict& v) {
    NetworkField fields[NET_ROWS];
    for (int i = 0; i < NET_ROWS; ++i)
        fields[i] = {Value(kNetwork[i], requested, current), HasKey(current, kNetwork[i].Key)};
    for (const NetRefusal& r : ValidateNetworkSettings(fields))
        v.Problems.push_back({SetFault::Check, kNetwork[static_cast<size_t>(r.Row)].Name, r.Message,
                              MessageText(r.Message), {}});
    for (int i = 0; i < NET_ROWS; ++i) Put(v.Edit, kNetwork[i].Key, fields[i].Text);
}

void CheckInfo(const SetValues& requested, const TDeviceRec& current, SetVerdict& v) {
    const std::string uid = Value(kInfo[3], requested, current);
    if (HasKey(current, KEY_UNIQ) && StrToIntDef(uid, -1) == -1)
        v.Problems.push_back({SetFault::Check, "UNIQ", MSG_BAD_UNIQUE_ID, MessageText(MSG_BAD_UNIQUE_ID), {}});
    for (const Edit& e : kInfo) Put(v.Edit, e.Key, Value(e, requested, current));
}

void CheckDate(const SetValues& requested, const TDeviceRec& current, SetVerdict& v) {
    std::array<std::string, DATE_EDITS> edits;
    const auto parts = SplitDateText(current.YMDHM);
    for (int i = 0; i < DATE_EDITS; ++i) {
        const auto it = requested.find(kDate[i].Name);
        edits[static_cast<size_t>(i)] = it != requested.end() ? it->second
                                        : i == DATE_GMT     ? std::string(FieldText(current.GMT))
                                                            : parts[static_cast<size_t>(i)];
    }
    const DateVerdict d = ValidateDate(edits);
    if (!d.Ok) {
        v.Problems.push_back({SetFault::Check, kDate[d.Failed].Name, d.Message, MessageText(d.Message), {}});
        return;
    }
    Put(v.Edit, KEY_YMDHM, d.Text);
    Put(v.Edit, KEY_GMT, edits[DATE_GMT]);
}

// A device may report texts longer than its edits take; they go back with
// every SET of their kind, and together may not fit in one frame.  Such a SET
// is refused here, before anything is sent, rather than found unbuildable
// when it is due.
void CheckFrame(int kind, const TDeviceRec& current, SetVerdict& v) {
    uint8_t frame[FRAME_MAX];
    TDeviceRec device = current;
    std::memcpy(device.MAC, "02-00-00-00-00-00", MAC_LEN);  // the frame's length does not depend on the MAC
    const SetFrameResult built = BuildSetFrame(device, v.Edit, kind, false, frame);
    if (built.Fault != SetFrameFault::TooLong) return;
    v.Problems.push_back({SetFault::FrameTooLong, {}, 0,
                          "the SET would take " + std::to_string(built.Needed) + " bytes, more than one frame carries (" +
                              std::to_string(SET_FRAME_MAX) + "): the texts the device reports go with it",
                          {}});
}

// Unknown keys first, then the edits in the window's order.
SetVerdict CheckEditsHold(int kind, const SetValues& requested, const TDeviceRec* current) {
    SetVerdict v;
    const EditList edits = EditsOf(kind);
    for (const auto& [name, text] : requested)
        if (!Find(edits, name))
            v.Problems.push_back({SetFault::UnknownKey, name, MSG_UNKNOWN_KEY, Compose(MSG_UNKNOWN_KEY, name), {}});
    for (size_t i = 0; i < edits.Count; ++i) {
        const auto it = requested.find(edits.First[i].Name);
        if (it != requested.end()) CheckEditHolds(edits.First[i], it->second, current, v.Problems);
    }
    if (v.Problems.empty() && edits.Count > 0) v.Outcome = SetOutcome::Ready;
    return v;
}
}  // namespace

SetVerdict CheckForm(int kind, const SetValues& requested) { return CheckEditsHold(kind, requested, nullptr); }

SetVerdict CheckSet(int kind, const SetValues& requested, const TDeviceRec& current) {
    SetVerdict v = CheckEditsHold(kind, requested, &current);
    if (v.Outcome != SetOutcome::Ready) return v;
    v.Outcome = SetOutcome::Refused;

    switch (kind) {
        case KIND_NETWORK: CheckNetwork(requested, current, v); break;
        case KIND_DEVINFO: CheckInfo(requested, current, v); break;
        default: CheckDate(requested, current, v); break;
    }
    if (v.Problems.empty()) CheckFrame(kind, current, v);
    if (v.Problems.empty()) v.Outcome = SetOutcome::Ready;
    else v.Edit = TDeviceRec{};
    return v;
}

std::string ProblemText(const SetVerdict& verdict) {
    std::string text;
    for (const SetProblem& p : verdict.Problems) text += (text.empty() ? "" : "\n") + p.Text;
    return text;
}

std::vector<std::string> SetKeyNames(int kind) {
    const EditList edits = EditsOf(kind);
    std::vector<std::string> names;
    for (size_t i = 0; i < edits.Count; ++i) names.emplace_back(edits.First[i].Name);
    return names;
}

int EditLength(int kind, const std::string& key) {
    const Edit* e = Find(EditsOf(kind), key);
    return e ? e->MaxLength : 0;
}

std::string EditPattern(int kind, const std::string& key) {
    const Edit* e = Find(EditsOf(kind), key);
    if (!e) return {};
    switch (e->Form) {
        case EditForm::Address: return {};
        case EditForm::Digits: return "[0-9]*";
        case EditForm::Signed: return "[+-]?[0-9]*";
        // Latin-1 without its control characters and without 0xFF.
        case EditForm::Text: return "[\\x{20}-\\x{7E}\\x{A0}-\\x{FE}]*";
    }
    return {};
}

std::string KeysLine(int kind) {
    std::string line = "KEY:";
    for (const std::string& name : SetKeyNames(kind)) line += " " + name;
    return line;
}

std::string EditsHelp(int kind) {
    // Fields that take the same are named together, in the window's order,
    // numbered names in a row of three or more as a range; addresses as such.
    const EditList edits = EditsOf(kind);
    std::vector<std::pair<std::string, std::vector<std::string>>> groups;  // what they take, their names
    for (size_t i = 0; i < edits.Count; ++i) {
        const std::string takes = FormText(edits.First[i]);
        auto g = std::find_if(groups.begin(), groups.end(), [&](const auto& x) { return x.first == takes; });
        if (g == groups.end()) g = groups.insert(groups.end(), {takes, {}});
        if (edits.First[i].Form != EditForm::Address) g->second.emplace_back(edits.First[i].Name);
        else if (g->second.empty()) g->second.emplace_back("Addresses");
    }
    const auto next = [](const std::string& a, const std::string& b) {
        return a.size() == b.size() && a.size() > 1 && IsDigit(a.back()) && b.back() == a.back() + 1 &&
               a.compare(0, a.size() - 1, b, 0, b.size() - 1) == 0;
    };
    std::string text;
    for (const auto& [takes, names] : groups) {
        std::string named;
        for (size_t i = 0, last = 0; i < names.size(); i = last + 1) {
            last = i;
            while (last + 1 < names.size() && next(names[last], names[last + 1])) ++last;
            if (last - i < 2) last = i;
            named += (named.empty() ? "" : ", ") + names[i] + (last > i ? "-" + names[last] : "");
        }
        text += (text.empty() ? "" : "; ") + named + ": " + takes;
    }
    return text;
}
