#include <windows.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "cli_run.h"
#include "velto/unicode.h"

namespace velto::test {
namespace {

constexpr DWORD kRunLimitMs = 60 * 1000;

std::wstring Wide(std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::filesystem::path VeltoBesideThisProgram() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return std::filesystem::path(path).parent_path() / L"velto.exe";
}

// One argument quoted so that CommandLineToArgvW gives it back as it was: inside quotes,
// backslashes double where a quote follows them, and a quote gets a backslash.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

// The environment block: this process's variables but the VELTO_ ones, then the run's.
std::wstring EnvironmentBlock(const CliRun& run) {
  std::wstring block;
  const std::unique_ptr<wchar_t, decltype(&FreeEnvironmentStringsW)> own(GetEnvironmentStringsW(),
                                                                         &FreeEnvironmentStringsW);
  for (const wchar_t* variable = own.get(); *variable != L'\0'; variable += wcslen(variable) + 1) {
    if (std::wstring_view(variable).rfind(L"VELTO_", 0) != 0)
      block += variable + std::wstring(1, L'\0');
  }
  for (const auto& [name, value] : run.variables) {
    block += Wide(name + "=" + value) + std::wstring(1, L'\0');
  }
  return block + L'\0';
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {
    if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open a standard stream");
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { CloseHandle(handle_); }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

HANDLE Inheritable(const std::filesystem::path& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs velto.exe with its standard streams on the files given; returns its exit status.
int RunWithStreams(const std::wstring& program, std::wstring command_line, const CliRun& run,
                   const Handle& input, const Handle& output, const Handle& error) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = output.get();
  startup.hStdError = error.get();
  std::wstring environment = EnvironmentBlock(run);
  PROCESS_INFORMATION process{};
  // Wine's server now and then drops a new process before it runs (ERROR_INTERNAL_ERROR);
  // the program never started, so starting it once more is safe.
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT, environment.data(), run.folder.c_str(), &startup,
                       &process)) {
      break;
    }
    const DWORD code = GetLastError();
    if (code != ERROR_INTERNAL_ERROR || attempt == 2) {
      throw std::runtime_error("cannot start velto.exe: error " + std::to_string(code));
    }
  }
  const Handle process_handle(process.hProcess), thread_handle(process.hThread);
  if (WaitForSingleObject(process.hProcess, kRunLimitMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    throw std::runtime_error("velto.exe did not end within a minute");
  }
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  return static_cast<int>(status);
}

}  // namespace

CliResult RunCli(const CliRun& run) {
  const std::filesystem::path in = run.folder / "stdin", out = run.folder / "stdout",
                              err = run.folder / "stderr";
  std::ofstream(in, std::ios::binary) << run.input;
  const std::wstring program = VeltoBesideThisProgram().wstring();
  std::wstring command_line = Quoted(program);
  for (const std::string& argument : run.arguments) command_line += L" " + Quoted(Wide(argument));
  int status = -1;
  {
    const Handle input(Inheritable(in, GENERIC_READ, OPEN_EXISTING));
    const Handle output(Inheritable(out, GENERIC_WRITE, CREATE_ALWAYS));
    const Handle error(Inheritable(err, GENERIC_WRITE, CREATE_ALWAYS));
    status = RunWithStreams(program, command_line, run, input, output, error);
  }
  return {status, ReadAll(out), ReadAll(err)};
}

}  // namespace velto::test
