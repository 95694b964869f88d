#include "command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "closest_word.h"
#include "console.h"
#include "export_catalog.h"
#include "issue_document.h"
#include "json_object_text.h"
#include "readable_file.h"
#include "utf8_path.h"
#include "velto/default_root.h"
#include "velto/unicode.h"

namespace velto::cli {
namespace {

const std::string kDescription =
    "velto calls the exports of the Velto.Box library from the command line, as any host "
    "program calls them.";

std::string Footer() {
  return "Settings, strongest first: the flags --root, --card and --site; the environment "
         "variables VELTO_ROOT, VELTO_CARD and VELTO_SITE; the section [Global] of the INI file "
         "of --ini (Root, UserCardNumber, SiteId; its TlsVerify, CAFile, MaxReplySize and "
         "ReplyTimeout apply too, the last two unless --max-reply-size or --reply-timeout "
         "is given); the "
         "default root " +
         Utf16ToUtf8(kDefaultRoot) +
         ". \"velto config\" shows what applies.\n\n"
         "An argument that begins with a dash (a server's id may) goes after --, as in "
         "velto download -o OUT -- -Xy7...; after \"call\" every word is taken as it is.\n\n"
         "Output: the \"data\" of a SUCCESS envelope on standard output, JSON indented; with "
         "--envelope the envelope as the library returned it. The message of a FAIL envelope, "
         "or of a failure that left the export, goes to standard error. Uploads and downloads "
         "show a progress bar on standard error when it is a terminal.\n\n"
         "Exit status:\n"
         "  0  success\n"
         "  1  the export returned a FAIL envelope\n"
         "  2  usage error: bad arguments, an issue document with a member missing or of the "
         "wrong kind, or a local file that cannot be read or written (standard output too)\n"
         "  3  the export failed without a result (VeltoLastError): the session could not be "
         "opened, a download failed, an input that is no JSON object\n"
         "  130  a download interrupted by Ctrl-C (128 + the signal's number; its partial file "
         "is removed)\n";
}

// A folder opens as a file on some systems and fails only when read, with the stream's own
// wording.
std::string ReadFile(const std::string& name) {
  std::ifstream file(PathFromUtf8(name), std::ios::binary);
  try {
    if (file) return std::string(std::istreambuf_iterator<char>(file), {});
  } catch (const std::ios_base::failure&) {
  }
  throw std::runtime_error("cannot read " + name);
}

// A missing file is velto's usage error.
void RequireReadable(const std::string& name) {
  if (!IsReadableFile(name)) throw std::runtime_error("cannot read " + name);
}

// A document named on the command line: a file, or standard input for "-".
std::string ReadDocument(const std::string& name) {
  std::string text = name == "-" ? ReadStandardInput() : ReadFile(name);
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);  // a byte-order mark is no JSON
  return text;
}

CLI::Validator LimitCheck(bool (*valid)(std::string_view), const char* kind, const char* what) {
  return CLI::Validator(
      [valid, what](const std::string& text) {
        return valid(text) ? std::string() : "not " + std::string(what) + ": " + text;
      },
      kind);
}

// Sets what the command line asks for; the subcommands' callbacks fill the export and its
// arguments once their own arguments are parsed.
class CommandLine {
 public:
  CommandLine() : app_(kDescription, "velto") {
    app_.fallthrough();  // the global flags may also follow the command
    app_.require_subcommand(1);
    app_.footer(Footer());
    root_ = app_.add_option("--root", root_value_, "server root URL");
    card_ = app_.add_option("--card", card_value_, "user card number to log in with");
    site_ = app_.add_option("--site", site_value_, "site id the operations work for");
    app_.add_option("--ini", request_.settings.ini_file,
                    "INI file for VeltoOpen (section [Global])");
    max_reply_size_ =
        app_.add_option("--max-reply-size", max_reply_size_value_,
                        "most bytes one reply may hold, K, M or G (1024-based) allowed; a "
                        "download is not bound (MaxReplySize)")
            ->check(LimitCheck(IsReplySize, "SIZE", "a size such as 1048576, 512K, 64M or 1G"));
    reply_timeout_ =
        app_.add_option("--reply-timeout", reply_timeout_value_,
                        "seconds one exchange but a download may take (ReplyTimeout)")
            ->check(LimitCheck(IsReplyTimeout, "SECONDS", "whole seconds from 1 to 2147483"));
    app_.add_flag("--envelope", request_.as_returned, "print the envelope as it was returned");
    app_.add_flag("-q,--quiet", request_.quiet, "no progress bar");
    AddConfig();
    AddCall();
    AddFriendlyCommands();
  }

  std::variant<Request, Presentation> Parse(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    try {
      app_.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
      if (std::optional<std::string> unknown = UnknownCommand(arguments)) {
        return Presentation{"",
                            "velto: no command \"" + *unknown + "\"; did you mean \"" +
                                ClosestWord(*unknown, CommandNames()) +
                                "\"? (velto --help lists the commands)\n",
                            kUsageError};
      }
      std::ostringstream out, err;
      const int status = app_.exit(error, out, err);
      return Presentation{out.str(), err.str(), status == 0 ? kSuccess : kUsageError};
    }
    if (show_example_) return Presentation{IssueDocumentExample(), "", kSuccess};
    if (call_->parsed()) {
      std::vector<std::string> words = call_->remaining();
      if (words.empty())
        return Presentation{"", "velto: call needs the name of an export\n", kUsageError};
      request_.export_name = words.front();
      request_.arguments.assign(words.begin() + 1, words.end());
    }
    if (root_->count() > 0) request_.settings.root = root_value_;
    if (card_->count() > 0) request_.settings.card = card_value_;
    if (site_->count() > 0) request_.settings.site = site_value_;
    if (max_reply_size_->count() > 0) request_.settings.max_reply_size = max_reply_size_value_;
    if (reply_timeout_->count() > 0) request_.settings.reply_timeout = reply_timeout_value_;
    return request_;
  }

 private:
  std::vector<std::string> CommandNames() {
    std::vector<std::string> names;
    for (const CLI::App* command : app_.get_subcommands([](CLI::App*) { return true; })) {
      names.push_back(command->get_name());
    }
    return names;
  }

  // The word where the command was expected when it names none: the first that is neither
  // an option nor an option's value.
  std::optional<std::string> UnknownCommand(const std::vector<std::string>& arguments) {
    for (size_t at = 1; at < arguments.size(); ++at) {
      const std::string& word = arguments[at];
      if (word == "--") break;
      if (!word.starts_with("-")) {
        const std::vector<std::string> names = CommandNames();
        if (std::find(names.begin(), names.end(), word) != names.end()) return std::nullopt;
        return word;
      }
      const CLI::Option* option = app_.get_option_no_throw(word);
      if (option != nullptr && option->get_items_expected_min() > 0) ++at;  // its value
    }
    return std::nullopt;
  }

  void AddConfig() {
    CLI::App* config = app_.add_subcommand("config", "show the settings and where they came from");
    config->callback([this] { request_.show_config = true; });
  }

  // Every word after "call" is the export's name and then its arguments, taken as they are
  // (an id may begin with a dash); velto's own flags go before "call".
  void AddCall() {
    call_ = app_.add_subcommand(
        "call", "call any export by name: velto [OPTIONS] call EXPORT ARG... (one per parameter)");
    call_->fallthrough(false);
    call_->prefix_command();
    call_->footer("Exports and their parameters:\n" + ExportListing() +
                  "File_GetData writes into the file named for its FileStream.");
  }

  // A command that calls `name`; `arguments` makes its arguments once parsing is done.
  template <typename Arguments>
  CLI::App* Friendly(const char* command, const char* description, const char* name,
                     Arguments arguments) {
    CLI::App* sub = app_.add_subcommand(command, description);
    sub->callback([this, name, arguments] {
      request_.export_name = name;
      request_.arguments = arguments();
    });
    return sub;
  }

  void AddFriendlyCommands() {
    CLI::App* read = Friendly("read", "a person with issues and files (VeltoRead)", "VeltoRead",
                              [this] { return std::vector{first_}; });
    read->add_option("PERSON", first_, "person id")->required();

    CLI::App* write = Friendly("write-issue", "write an issue with its files (VeltoWriteIssue)",
                               "VeltoWriteIssue", [this] { return IssueArguments(); });
    write->add_option("FILE", first_, "the issue document, a JSON file; - for standard input");
    write->add_flag("--example", show_example_, "print a complete document and do nothing else");
    write->footer(IssueDocumentMembers());

    CLI::App* upload =
        Friendly("upload", "upload a file to an issue (File_Add)", "File_Add", [this] {
          RequireReadable(second_);
          const std::string details =
              JsonObjectText({{"hlscName", hlsc_name_}, {"hlscDate", hlsc_date_}});
          return std::vector{first_, second_, details};
        });
    upload->add_option("ISSUE", first_, "issue id")->required();
    upload->add_option("FILE", second_, "the file to upload")->required();
    upload->add_option("--hlsc-name", hlsc_name_, "the file's hlsc name");
    upload->add_option("--hlsc-date", hlsc_date_, "the file's hlsc date");

    CLI::App* download =
        Friendly("download", "download a file's bytes (File_GetData)", "File_GetData", [this] {
          return std::vector{first_, second_};
        });
    download->add_option("FILE_ID", first_, "file id")->required();
    download->add_option("-o,--output", second_, "the file to write")->required();

    CLI::App* portal = Friendly("portal-url", "a person's portal address (VeltoPortalUrl)",
                                "VeltoPortalUrl", [this] { return std::vector{first_}; });
    portal->add_option("PERSON", first_, "person id")->required();

    CLI::App* site =
        Friendly("site-add", "make sure a site exists (VeltoSiteAdd)", "VeltoSiteAdd", [this] {
          return std::vector{first_, second_};
        });
    site->add_option("SITE_ID", first_, "site id")->required();
    site->add_option("NAME", second_, "site name")->required();

    CLI::App* user = Friendly(
        "user-add", "make sure a user with a card exists; prints the card number (VeltoUserAdd)",
        "VeltoUserAdd", [this] {
          return std::vector{first_, second_, password_, third_};
        });
    user->add_option("USER_ID", first_, "user id")->required();
    user->add_option("NAME", second_, "user name")->required();
    user->add_option("SITE_ID", third_, "the user's site; \"\" for a root user")->required();
    user->add_option("--password", password_, "password of a new user");

    CLI::App* message = Friendly(
        "send-message", "send a text message to a person (VeltoSendMessage)", "VeltoSendMessage",
        [this] {
          return std::vector{
              JsonObjectText({{"personId", first_}, {"destPhone", second_}, {"msgBody", third_}})};
        });
    message->add_option("PERSON", first_, "person id")->required();
    message->add_option("PHONE", second_, "destination phone number")->required();
    message->add_option("TEXT", third_, "the message")->required();
  }

  // The document checked before anything is sent; --example asks for no FILE.
  std::vector<std::string> IssueArguments() {
    if (show_example_) return {};
    if (first_.empty()) throw CLI::RequiredError("FILE (or --example)");
    const std::string document = ReadDocument(first_);
    WriteError(CheckIssueDocument(document));
    return {document};
  }

  CLI::App app_;
  Request request_;
  std::string root_value_, card_value_, site_value_;
  std::string max_reply_size_value_, reply_timeout_value_;
  CLI::App* call_ = nullptr;
  CLI::Option* root_ = nullptr;
  CLI::Option* card_ = nullptr;
  CLI::Option* site_ = nullptr;
  CLI::Option* max_reply_size_ = nullptr;
  CLI::Option* reply_timeout_ = nullptr;
  std::string first_, second_, third_;
  std::string password_, hlsc_name_, hlsc_date_;
  bool show_example_ = false;
};

}  // namespace

std::variant<Request, Presentation> ParseCommandLine(const std::vector<std::string>& arguments) {
  return CommandLine().Parse(arguments);
}

}  // namespace velto::cli
