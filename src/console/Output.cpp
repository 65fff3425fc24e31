// Writing a command's result (see Output.h).
#include "console/Output.h"

#include <sstream>

namespace korvane::console {

int Emit(Session& session, const Options& options, CommandResult result, std::ostream& out,
         std::ostream& err) {
    RunFacts facts = session.Facts(result.command);
    facts.dryRun = result.dryRun;
    facts.changes = result.changes;
    const Records document = MakeDocument(facts, result.counts, result.recordsName, result.records);

    // The document goes to a file as JSON unless another format was asked for.
    const bool toFile = !options.out.empty();
    const Format format = toFile && !options.formatGiven ? Format::Json : *ParseFormat(options.format);
    std::ostringstream text;
    if (format == Format::Json)
        text << document.dump(2) << '\n';
    else if (format == Format::Text && result.text)
        text << *result.text << '\n';
    else
        WriteRecords(text, result.rows, format);

    int code = result.exitCode;
    if (options.exitZero && code == kExitFindings) code = kExitOk;
    if (toFile) {
        const std::string path = session.PathOfArgument(options.out);
        if (!session.platform.files.writeFile(path, text.str())) {
            err << "error: the output cannot be written to " << path << '\n';
            code = kExitError;
        }
    } else {
        out << text.str();
    }
    if (toFile || options.summary) out << SummaryLine(document, code) << '\n';
    if (code == kExitError || code == kExitLeft) session.dialogs.WriteTo(err);
    return code;
}

}  // namespace korvane::console
