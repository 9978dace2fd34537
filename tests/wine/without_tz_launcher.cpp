// Runs a Windows program the way it runs on a real PC, where no TZ variable
// exists: Wine copies the Unix TZ (meant for Wine's own clock) into the Windows
// environment, and the C library would read "Asia/Shanghai" there as a zone of
// its own syntax. The launcher removes TZ, starts the rest of its command line
// and returns the program's exit status. Wine's system time zone still follows
// the Unix TZ.
#include <windows.h>

#include <cstdio>

int main() {
    const char* line = ::GetCommandLineA();
    // Skip the launcher's own name, quoted or not, and the blanks after it.
    if (*line == '"') {
        ++line;
        while (*line != '\0' && *line != '"') ++line;
        if (*line == '"') ++line;
    } else {
        while (*line != '\0' && *line != ' ' && *line != '\t') ++line;
    }
    while (*line == ' ' || *line == '\t') ++line;
    if (*line == '\0') {
        std::fprintf(stderr, "usage: without_tz_launcher PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    ::SetEnvironmentVariableA("TZ", nullptr);
    char* commandLine = ::_strdup(line);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "without_tz_launcher: cannot start %s (error %lu)\n", line, ::GetLastError());
        return 127;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return static_cast<int>(status);
}
