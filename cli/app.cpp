#include "cli/app.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <sstream>

#include <CLI/CLI.hpp>

#include "cli/batch.h"
#include "cli/console.h"
#include "cli/form.h"
#include "cli/press.h"
#include "generate/messages.h"
#include "platform/file.h"

namespace cli {
namespace {

const char kExitCodes[] =
    "Exit codes: 0 success, 1 a press failed (validation, template, file or copy;\n"
    "the message is on standard error), 2 usage error.";

CLI::Validator VendorCheck() {
    return CLI::Validator(
        [](std::string& text) {
            return ParseVendor(text) ? std::string()
                                     : "unknown vendor '" + text + "' (use " + kVendorChoices + ")";
        },
        "", "vendor");
}

CLI::Validator AddressCheck() {
    return CLI::Validator(
        [](std::string& text) {
            uint8_t fields[4];
            return ParseServerAddress(text, fields)
                       ? std::string()
                       : "'" + text + "' is not an address A.B.C.D with four fields 0 to 255";
        },
        "", "address");
}

// Help and usage errors go through the console writer like every other text,
// so Chinese in them shows on a Windows console too.
int UsageError(const std::string& text) {
    WriteLine(Stream::Err, "brenvik-cli: " + text);
    WriteLine(Stream::Err, "Run with --help for more information.");
    return kExitUsage;
}

int Finish(CLI::App& app, const CLI::ParseError& error) {
    if (error.get_exit_code() != static_cast<int>(CLI::ExitCodes::Success)) return UsageError(error.what());
    std::ostringstream out;
    std::ostringstream err;
    app.exit(error, out, err);
    std::string help = out.str();
    if (!help.empty() && help.back() != '\n') help += '\n';
    WriteText(Stream::Out, help);
    WriteText(Stream::Err, err.str());
    return kExitOk;
}

// A stray word is most often the rest of a value typed with blanks and no
// quotes, maybe of the shared key, and an unknown option may carry a value
// after "=": name the options without their values, only count the words.
// A first word that is no subcommand is named, as it cannot be a value.
int UnexpectedWords(const std::vector<std::string>& arguments, const std::vector<std::string>& extras) {
    size_t first = arguments.size() >= 2 && arguments[0] == "-C" ? 2 : 0;
    if (first < arguments.size() && !extras.empty() && extras.front() == arguments[first] &&
        arguments[first][0] != '-')
        return UsageError("unknown subcommand '" + arguments[first] + "' (use models, generate or batch)");
    std::string options;
    size_t words = 0;
    for (const std::string& extra : extras) {
        if (!extra.empty() && extra[0] == '-') {
            options += (options.empty() ? "" : " ") + extra.substr(0, extra.find('='));
        } else {
            ++words;
        }
    }
    std::string text;
    if (!options.empty()) text += "unknown option " + options + (words > 0 ? ", and " : "");
    if (words > 0)
        text += std::to_string(words) + (words == 1 ? " word that belongs" : " words that belong") +
                " to no option (a value with blanks must be quoted)";
    return UsageError(text);
}

int PrintModels(const std::string& vendorText) {
    std::optional<VendorChoice> vendor = ParseVendor(vendorText);
    std::string text;
    for (const WString& name : ReadModelNames(vendor->index).names) {
        text += WideToUtf8(name);
        text += '\n';
    }
    WriteText(Stream::Out, text);
    return kExitOk;
}

int Generate(const PressOptions& options, const std::string& out, bool toStdout) {
    FormSnapshot form;
    std::string error;
    if (!MakeForm(options, form, error)) return UsageError(error);
    PressTarget target;
    // The Save As dialog hands over a full path; so does the command line,
    // and file messages then name the file without doubt.
    if (!out.empty()) target.copyTo = platform::FullPath(Utf8ToWide(out));
    target.toStdout = toStdout;
    return RunPress(form, target) == PressOutcome::Done ? kExitOk : kExitFailed;
}

int Run(const std::vector<std::string>& arguments) {
    CLI::App app("Writes IEEE 802.1X switch configuration from the templates in the config\n"
                 "folder of the current directory, as the Brenvik dialog does.",
                 "brenvik-cli");
    // At most one; none is reported below, so that an unknown word is named.
    app.require_subcommand(0, 1);
    app.footer(kExitCodes);
    std::string directory;
    app.add_option("-C", directory, "Change to DIR first; every other path is then relative to it")
        ->type_name("DIR");

    std::string modelsVendor;
    CLI::App* models = app.add_subcommand("models", "Print a vendor's model types, one a line, in list order");
    models->add_option("VENDOR", modelsVendor, std::string("The vendor: ") + kVendorChoices)
        ->type_name("")
        ->required()
        ->check(VendorCheck());
    models->footer(kExitCodes);

    PressOptions options;
    std::string out;
    std::string escapeVlan;
    std::string guestVlan;
    std::string model;
    bool toStdout = false;
    CLI::App* generate = app.add_subcommand(
        "generate", "Generate one configuration: config\\<vendor>_<model>.ini, copied to --out");
    generate->add_option("--vendor", options.vendor, std::string("The vendor: ") + kVendorChoices)
        ->type_name("VENDOR")
        ->check(VendorCheck())
        ->capture_default_str();
    CLI::Option* modelOption = generate->add_option(
        "--model", model,
        "The model type, as `brenvik-cli models VENDOR` lists it (default: the first);\n"
        "a name not in the list is used for the file names as typed");
    generate->add_option("--server-ip", options.serverIp, "The RADIUS server's address")
        ->type_name("A.B.C.D")
        ->check(AddressCheck());
    generate->add_option("--auth-port", options.authPort, "The authentication port")->capture_default_str();
    generate->add_option("--acct-port", options.accountPort, "The accounting port")->capture_default_str();
    generate->add_option("--secret-key", options.secretKey, "The RADIUS shared key")->type_name("KEY");
    generate->add_option("--interface", options.interfaceName, "The switch port to turn 802.1X on")
        ->type_name("PORT");
    generate->add_flag("--mab", options.mab, "MAC authentication bypass");
    generate->add_option("--mab-delay", options.mabDelay, "The MAB delay in seconds")->capture_default_str();
    CLI::Option* escapeOption = generate->add_option(
        "--escape-vlan", escapeVlan, "Turn the escape VLAN on, with this VLAN id")->type_name("ID");
    CLI::Option* guestOption = generate->add_option(
        "--guest-vlan", guestVlan, "Turn the guest VLAN on, with this VLAN id")->type_name("ID");
    generate->add_flag("--single-terminal", options.singleTerminal,
                       "One terminal per port (clears the multi-terminal box, ticked by default)");
    generate->add_option("--out", out, "Copy the configuration to PATH (the Save As step);\n"
                                       "without it the press ends as a cancelled Save As does")
        ->type_name("PATH");
    generate->add_flag("--stdout", toStdout, "Write the configuration's bytes to standard output");
    generate->footer(kExitCodes);

    std::string csvPath;
    std::string outDir;
    CLI::App* batch = app.add_subcommand(
        "batch", "Generate one configuration per row of a CSV file; the header row names the\n"
                 "columns after generate's options (vendor, model, server-ip, ..., out)");
    batch->add_option("FILE", csvPath, "The CSV file: UTF-8 with a byte-order mark, or GBK")->required();
    batch->add_option("--out-dir", outDir, "The folder the configurations are copied into")
        ->required()
        ->type_name("DIR");
    batch->footer(std::string(
                      "Columns: vendor, model, server-ip, auth-port, acct-port, secret-key, interface,\n"
                      "mab (yes/no), mab-delay, escape-vlan, guest-vlan, single-terminal (yes/no), out\n"
                      "(the file name in DIR; default <vendor>_<model>_<interface>.ini). An empty cell leaves the\n"
                      "option out. Rows run from the dialog's opening state; a failed row is reported\n"
                      "with its row number and the others go on.\n\n") +
                  kExitCodes);

    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
    } catch (const CLI::ExtrasError&) {
        return UnexpectedWords(arguments, app.remaining(true));
    } catch (const CLI::ParseError& error) {
        return Finish(app, error);
    }
    if (modelOption->count() > 0) options.model = model;
    if (escapeOption->count() > 0) options.escapeVlanId = escapeVlan;
    if (guestOption->count() > 0) options.guestVlanId = guestVlan;

    if (!directory.empty()) {
        // The system's error text would come in the ANSI code page; say it plainly.
        std::error_code error;
        std::filesystem::path path = std::filesystem::u8path(directory);
        if (!std::filesystem::is_directory(path, error)) return UsageError("-C: no folder '" + directory + "'");
        std::filesystem::current_path(path, error);
        if (error) return UsageError("-C: cannot change to '" + directory + "'");
    }

    if (!models->parsed() && !generate->parsed() && !batch->parsed())
        return UsageError("a subcommand is required: models, generate or batch");

    if (models->parsed()) return PrintModels(modelsVendor);
    if (generate->parsed()) {
        if (generate->count("--out") > 0 && out.empty()) return UsageError("--out: the path is empty");
        return Generate(options, out, toStdout);
    }
    if (outDir.empty()) return UsageError("--out-dir: the folder is empty");
    return RunBatch(csvPath, outDir);
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments) {
    try {
        return Run(arguments);
    } catch (const std::bad_alloc&) {
        WriteLine(Stream::Err, WideToUtf8(msg::kOutOfMemory));
        return kExitFailed;
    }
}

}  // namespace cli
