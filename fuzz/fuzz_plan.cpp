// Any bytes as a plan: read, checked against a few devices, without harm; and
// every record read writes back as CSV that reads the same.
#include <string>

#include "plan/Plancheck.h"
#include "files/Plancsv.h"
#include "link/Table.h"

namespace {
std::vector<TDeviceRec> Devices() {
    static const char* const frames[] = {
        ("\x02MAC:02-00-00-00-00-01\xFFSERIAL:100\xFFIPADRM:10.0.0.10\xFFGWAY:10.0.0.1\xFFMASK:255.255.255.0\xFF"
         "GPID:1\xFFNAME:a\xFFUNIQ:1\xFF\x03"),
        "\x02MAC:02-00-00-00-00-02\xFFSERIAL:100\xFFIPADRM:10.0.0.11\xFFNAME:b\xFF\x03",
        "\x02MAC:02-00-00-00-00-03\xFFSERIAL:101\xFFIPADRM:10.0.0.12\xFFMASK:255.0.0.0\xFF\x03",
    };
    TmTable table;
    for (const char* f : frames) {
        const std::string bytes(f);
        table.TakeAnswer(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint16_t>(bytes.size()));
    }
    return table.Rows();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<TDeviceRec> found = Devices();
    std::string error;
    const auto records = ParseCsv(std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (!records) return 0;
    const CheckedPlan plan = CheckPlan(*records, found);
    for (const PlannedDevice& d : plan.Devices)
        if (d.TableRow < 0 || static_cast<size_t>(d.TableRow) >= found.size()) __builtin_trap();

    // A record of one empty cell writes as a blank line, which a reader skips.
    std::string text;
    std::vector<std::vector<std::string>> kept;
    for (const auto& r : *records) {
        if (r.size() == 1 && r[0].empty()) continue;
        kept.push_back(r);
        text += CsvLine(r);
    }
    const auto again = ParseCsv(text, error);
    if (!again || *again != kept) __builtin_trap();
    return 0;
}
