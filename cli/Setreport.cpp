#include "cli/Setreport.h"

#include "cli/Output.h"
#include "rules/Strings.h"

SetReport Refused(std::vector<std::string> messages) { return {EXIT_REFUSED, "REFUSED", std::move(messages)}; }

SetReport Refused(const SetVerdict& verdict) {
    std::vector<std::string> messages;
    for (const SetProblem& p : verdict.Problems)
        messages.push_back(p.Detail.empty() ? p.Text : p.Text + " (" + p.Key + ": " + p.Detail + ")");
    return Refused(messages);
}

SetReport ReportOf(const SendOutcome& sent) {
    const char* name = SendResultName(sent.Result);
    switch (sent.Result) {
        case SendResult::Ack:
        case SendResult::Sent: return {EXIT_ACK, name, {}};
        case SendResult::Nak: return {EXIT_NAK, name, {MessageText(MSG_NAK)}};
        case SendResult::Silent: return {EXIT_SILENT, name, {MessageText(MSG_NO_ANSWER)}};
        case SendResult::LinkDown: return {EXIT_LINK, name, {sent.Why}};
        case SendResult::NotSent: break;
    }
    if (sent.Why.empty()) return {EXIT_SILENT, "NOT_SENT", {MessageText(MSG_NO_ANSWER)}};
    return {EXIT_LINK, "NOT_SENT", {sent.Why}};
}

int Report(const std::string& mac, const SetReport& o, const Options& options, std::ostream& out, std::ostream& err) {
    if (options.Json) {
        nlohmann::ordered_json result;
        result["MAC"] = mac;
        result["result"] = o.Result;
        result["messages"] = nlohmann::ordered_json::array();
        std::string error;
        for (const std::string& m : o.Messages) {
            result["messages"].push_back(m);
            error += (error.empty() ? "" : "\n") + m;
        }
        if (o.Code != EXIT_ACK) {
            result["error"] = error;
            result["exit"] = o.Code;
        }
        out << OneLine(result) << '\n';
    } else {
        for (const std::string& m : o.Messages) err << m << '\n';
        if (o.Code == EXIT_ACK) out << mac << '\t' << o.Result << '\n';
    }
    return o.Code;
}
