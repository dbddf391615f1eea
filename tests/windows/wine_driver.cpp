// Drives ampero.exe under Wine as a user would: starts it in its folder, finds its windows
// and controls, types, clicks and presses keys, and checks what the windows show.
//   ampero_wine_driver.exe AMPERO_EXE windows|timer
//   ampero_wine_driver.exe AMPERO_EXE install SETUP_EXE
// Each failed check prints a "FAIL:" line; the exit status is 1 if any failed. Figures
// for the timing scripts are printed as key=value lines.
#include "win_test_support.h"

#include <cmath>
#include <cstdio>
#include <objbase.h>
#include <optional>
#include <shlobj.h>
#include <shobjidl.h>
#include <string>
#include <vector>

using ampero::wintest::waitUntil;

namespace {

int failures = 0;

void check(bool condition, const std::wstring &what)
{
    if (!condition) {
        ++failures;
        std::printf("FAIL: %ls\n", what.c_str());
        std::fflush(stdout);
    }
}

std::wstring textOf(HWND window)
{
    wchar_t text[1024] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                        &copied);
    return text;
}

void setText(HWND control, const std::wstring &text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK,
                        5000, &result);
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

long long unixMilliseconds()
{
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const long long ticks = (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return ticks / 10000 - 11644473600000LL;
}

// A registry value set for the length of a scenario, and put back as it was afterwards.
class RegistryOverride
{
public:
    RegistryOverride(HKEY root, std::wstring key, std::wstring name)
        : root_(root), key_(std::move(key)), name_(std::move(name))
    {
        DWORD size = sizeof saved_;
        if (RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_,
                         saved_, &size) == ERROR_SUCCESS)
            savedSize_ = size;
    }
    ~RegistryOverride()
    {
        if (savedSize_)
            write(type_, saved_, *savedSize_);
        else
            remove();
    }
    void setText(const std::wstring &text)
    {
        write(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void remove() { RegDeleteKeyValueW(root_, key_.c_str(), name_.c_str()); }

private:
    void write(DWORD type, const void *data, DWORD size)
    {
        RegSetKeyValueW(root_, key_.c_str(), name_.c_str(), type, data, size);
    }

    HKEY root_;
    std::wstring key_, name_;
    DWORD type_ = REG_NONE;
    BYTE saved_[2048]{};
    std::optional<DWORD> savedSize_;
};

// Presses the keys in order and lets them go in reverse order, into the foreground window.
void press(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back({INPUT_KEYBOARD, {.ki = {key, 0, 0, 0, 0}}});
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        inputs.push_back({INPUT_KEYBOARD, {.ki = {*key, 0, KEYEVENTF_KEYUP, 0, 0}}});
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// ampero.exe, started in its own folder; ended when the scenario lets go of it.
class Ampero
{
public:
    explicit Ampero(const std::wstring &program, std::wstring folder = L"")
    {
        if (folder.empty())
            folder = program.substr(0, program.find_last_of(L'\\'));
        std::wstring commandLine = L'"' + program + L'"';
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        check(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, folder.c_str(), &startup, &process_),
              L"start " + program);
        main = window(L"Zelbor's Battery Tools");
    }
    ~Ampero()
    {
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 5000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    // The visible window of this program with that title, once it is there.
    HWND window(const std::wstring &title, DWORD timeoutMilliseconds = 10000) const
    {
        HWND found = nullptr;
        waitUntil(
            [&] {
                found = nullptr;
                for (HWND w = FindWindowW(nullptr, title.c_str()); w && !found;
                     w = FindWindowExW(nullptr, w, nullptr, title.c_str())) {
                    DWORD owner = 0;
                    GetWindowThreadProcessId(w, &owner);
                    if (owner == process_.dwProcessId && IsWindowVisible(w))
                        found = w;
                }
                return found != nullptr;
            },
            timeoutMilliseconds);
        check(found != nullptr, L"a window titled \"" + title + L'"');
        return found;
    }

    bool gone(const std::wstring &title) const
    {
        return waitUntil([&] { return !IsWindowVisible(FindWindowW(nullptr, title.c_str())); },
                         5000);
    }

    bool ended(DWORD timeoutMilliseconds = 5000) const
    {
        DWORD status = 1;
        return WaitForSingleObject(process_.hProcess, timeoutMilliseconds) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(process_.hProcess, &status) && status == 0;
    }

    HWND focus() const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(process_.dwThreadId, &info);
        return info.hwndFocus;
    }

    // Brings the window to the front, then presses the keys.
    void keys(HWND target, std::initializer_list<WORD> keys) const
    {
        SetForegroundWindow(target);
        waitUntil([&] { return GetForegroundWindow() == target; }, 2000);
        press(keys);
    }

    // Presses Tab and waits for the focus to reach the control: once it has, every key
    // pressed before has been handled too.
    void tabTo(HWND window, HWND control, const std::wstring &what) const
    {
        keys(window, {VK_TAB});
        check(waitUntil([&] { return focus() == control; }, 3000), L"Tab moves to " + what);
    }

    // Chooses a menu entry with the keyboard: F10, the entry's place on the bar, and Enter
    // for the drop-down's first item too.
    void menu(int place, bool dropDown) const
    {
        keys(main, {VK_F10});
        for (int i = 0; i < place; ++i)
            press({VK_RIGHT});
        press({VK_RETURN});
        if (dropDown)
            press({VK_RETURN});
    }

    // The message box of this program, its text, and OK pressed on it.
    std::wstring answerMessageBox() const
    {
        const HWND box = window(L"Ampero");
        std::wstring message;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (classOf(child) == L"Static" && !textOf(child).empty())
                message = textOf(child);
        PostMessageW(FindWindowExW(box, nullptr, L"Button", L"OK"), BM_CLICK, 0, 0);
        check(gone(L"Ampero"), L"OK closes the message box");
        return message;
    }

    HWND main = nullptr;

private:
    PROCESS_INFORMATION process_{};
};

// The n-th control of the window, frames' controls included, in creation order, of that
// class and text; it must be there.
HWND control(HWND window, const std::wstring &kind, const std::wstring &text, int nth = 0)
{
    struct Search
    {
        const std::wstring &kind, &text;
        int nth;
        HWND found = nullptr;
    } search{kind, text, nth};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM context) {
            auto &s = *reinterpret_cast<Search *>(context);
            if (_wcsicmp(classOf(child).c_str(), s.kind.c_str()) == 0 && textOf(child) == s.text &&
                s.nth-- == 0)
                s.found = child;
            return s.found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    check(search.found != nullptr, L"a " + kind + L" control \"" + text + L'"');
    return search.found;
}

bool exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ---- The windows by keyboard, and the calculator ----------------------------------------

// The calculator's controls, found while its boxes are empty.
struct Calculator
{
    explicit Calculator(HWND form1)
        : output(control(form1, L"Edit", L"", 0)), capacity(control(form1, L"Edit", L"", 1)),
          result(control(form1, L"Static", L"", 0)), button(control(form1, L"Button", L"Calculate"))
    {
    }

    // Types both entries and presses "Calculate".
    void calculate(const std::wstring &outputText, const std::wstring &capacityText) const
    {
        setText(output, outputText);
        setText(capacity, capacityText);
        PostMessageW(button, BM_CLICK, 0, 0);
    }

    bool reads(const std::wstring &expected) const
    {
        return waitUntil([&] { return textOf(result) == expected; }, 3000);
    }

    HWND output, capacity, result, button;
};

// The main window under a locale whose decimal separator is the comma: its tab order, Enter
// and Escape, the calculator and its error reports; the timer's and the About window's
// keys, each shown modally; then Exit.
void windowsScenario(const std::wstring &program)
{
    RegistryOverride path(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                          L"PATH");
    RegistryOverride folder(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location",
                            L"MSINFO");
    path.remove();
    folder.remove();
    RegistryOverride separator(HKEY_CURRENT_USER, L"Control Panel\\International", L"sDecimal");
    separator.setText(L",");

    Ampero ampero(program);
    const HWND form1 = ampero.main;
    const Calculator calculator(form1);
    check(waitUntil([&] { return ampero.focus() == calculator.output; }, 3000),
          L"the focus starts in the charger output box");
    setText(calculator.output, L"300");
    setText(calculator.capacity, L"900");
    ampero.tabTo(form1, calculator.capacity, L"the battery capacity box");
    // Enter and Escape press nothing: the Tab after them shows they have been handled.
    ampero.keys(form1, {VK_RETURN});
    ampero.keys(form1, {VK_ESCAPE});
    ampero.tabTo(form1, calculator.button, L"\"Calculate\"");
    ampero.tabTo(form1, calculator.output, L"the charger output box again");
    check(textOf(calculator.result).empty() && IsWindowVisible(form1),
          L"Enter and Escape neither calculate nor close");

    // Results, and errors reported in a box titled "Ampero" that leave the result as it was.
    struct Case
    {
        const wchar_t *output, *capacity, *shown;
        bool reported;
    };
    for (const Case &c :
         {Case{L"300", L"900", L"180", false}, Case{L"700", L"100", L"8,57142857142857", false},
          Case{L"4", L"2,5", L"37,5", false}, Case{L"50", L"-100", L"-120", false},
          Case{L"0", L"100", L"Run-time error '11':\n\nDivision by zero", true},
          Case{L"0", L"0", L"Run-time error '6':\n\nOverflow", true},
          Case{L"", L"100", L"Run-time error '13':\n\nType mismatch", true}}) {
        calculator.calculate(c.output, c.capacity);
        const std::wstring what = c.output + std::wstring(L" and ") + c.capacity + L": " + c.shown;
        if (c.reported)
            check(ampero.answerMessageBox() == c.shown && textOf(calculator.result) == L"-120",
                  what + L", the result left as it was");
        else
            check(calculator.reads(c.shown), what);
    }

    ampero.menu(0, true);
    const HWND timer = ampero.window(L"Charge Timer");
    const auto disabled = [&] { return waitUntil([&] { return !IsWindowEnabled(form1); }, 3000); };
    check(disabled(), L"the main window is disabled while the timer is open");
    // Ending the program from the task manager asks every window to close: the disabled main
    // window ignores it, and the timer, clicked after it, still counts.
    const HWND minutes = control(timer, L"Edit", L"");
    setText(minutes, L"5");
    PostMessageW(form1, WM_CLOSE, 0, 0);
    PostMessageW(control(timer, L"Button", L"Charge Monitor"), BM_CLICK, 0, 0);
    check(waitUntil([&] { return !IsWindowEnabled(minutes); }, 3000) && IsWindowVisible(form1),
          L"closing the disabled main window leaves it open and the timer counting");
    PostMessageW(timer, WM_CLOSE, 0, 0);
    check(ampero.gone(L"Charge Timer") && waitUntil([&] { return IsWindowEnabled(form1); }, 3000),
          L"the main window is enabled when the timer closes");

    // Escape from either button, and Enter on OK, close the About window; Alt+S, and
    // Enter on "System Info...", press that button.
    struct AboutKeys
    {
        const wchar_t *what;
        bool tabToSystemInfo;
        std::initializer_list<WORD> keys;
        bool closes;
    };
    const AboutKeys cases[] = {
        {L"Escape on OK", false, {VK_ESCAPE}, true},
        {L"Escape on System Info", true, {VK_ESCAPE}, true},
        {L"Enter on OK", false, {VK_RETURN}, true},
        {L"Enter on System Info", true, {VK_RETURN}, false},
        {L"Alt+S", false, {VK_MENU, 'S'}, false},
    };
    for (const AboutKeys &c : cases) {
        ampero.menu(1, false);
        const HWND about = ampero.window(L"About Chargely");
        check(disabled(), L"the main window is disabled while About is open");
        const HWND ok = control(about, L"Button", L"OK");
        check(waitUntil([&] { return ampero.focus() == ok; }, 3000), L"the focus starts on OK");
        if (c.tabToSystemInfo)
            ampero.tabTo(about, control(about, L"Button", L"&System Info..."),
                         L"\"System Info...\"");
        ampero.keys(about, c.keys);
        if (c.closes) {
            check(ampero.gone(L"About Chargely"), std::wstring(c.what) + L" closes About");
        } else {
            check(ampero.answerMessageBox() == L"System Information Is Unavailable At This Time",
                  std::wstring(c.what) + L" presses \"System Info...\"");
            check(IsWindowVisible(about), L"About stays open after the message");
            PostMessageW(about, WM_CLOSE, 0, 0);
            check(ampero.gone(L"About Chargely"), L"closing About");
        }
        check(waitUntil([&] { return IsWindowEnabled(form1); }, 3000),
              std::wstring(L"the main window is enabled after ") + c.what);
    }
    ampero.menu(2, false);
    check(ampero.ended(), L"Exit ends the program with status 0");
}

// ---- Charge timer in real time -----------------------------------------------------------------

// A one-minute countdown through Wine's PulseAudio driver: prints the moments the scripts
// compare the recording with, then checks the window is Ready again when reopened.
void timerScenario(const std::wstring &program)
{
    RegistryOverride audio(HKEY_CURRENT_USER, L"Software\\Wine\\Drivers", L"Audio");
    audio.setText(L"pulse");
    Ampero ampero(program);
    ampero.menu(0, true);
    HWND timer = ampero.window(L"Charge Timer");
    const HWND minutes = control(timer, L"Edit", L"");
    setText(minutes, L"1");
    const long long pressed = unixMilliseconds();
    PostMessageW(control(timer, L"Button", L"Charge Monitor"), BM_CLICK, 0, 0);

    // Watched every 5 ms, so the moment of completion is known to a few milliseconds.
    long long completed = pressed;
    for (; completed < pressed + 80000; completed = unixMilliseconds()) {
        if (textOf(timer) == L"Charge Complete")
            break;
        Sleep(5);
    }
    const long long tick = completed - pressed;
    std::printf("pressed_at_ms=%lld\ncompleted_at_ms=%lld\ntick_ms=%lld\n", pressed, completed,
                tick);
    check(tick >= 55000 && tick <= 75000, L"completion about a minute after the press");
    check(textOf(minutes) == L"0", L"the box reads 0 at completion");

    Sleep(6500); // the alerts the recording is checked for
    PostMessageW(timer, WM_CLOSE, 0, 0);
    check(ampero.gone(L"Charge Complete"), L"closing the completed timer");
    std::printf("closed_at_ms=%lld\n", unixMilliseconds());
    std::fflush(stdout);
    Sleep(3000); // silence expected

    ampero.menu(0, true);
    timer = ampero.window(L"Charge Timer");
    const HWND box = control(timer, L"Edit", L"");
    check(IsWindowEnabled(box) && textOf(box).empty() &&
              control(timer, L"Static", L"Please Enter Charge Time (Mins)") != nullptr,
          L"reopened, the timer is Ready");
}

// ---- Installer
// -------------------------------------------------------------------------------------

std::wstring knownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    SHGetKnownFolderPath(id, 0, nullptr, &path);
    std::wstring folder = path ? path : L"";
    CoTaskMemFree(path);
    return folder;
}

DWORD runToEnd(std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DWORD status = 1;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return status;
}

// A text value of the program's Add/Remove Programs entry; "" if there is none.
std::wstring uninstallValue(const wchar_t *name)
{
    wchar_t text[1024] = L"";
    DWORD size = sizeof text;
    RegGetValueW(HKEY_LOCAL_MACHINE,
                 L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ampero", name,
                 RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

// A silent install into a folder outside Program Files, the program started as its shortcut
// starts it, an install over it refused while it runs and done into the same folder once it
// has ended, and a silent uninstall that leaves nothing behind.
void installScenario(const std::wstring &setup)
{
    const std::wstring folder = L"C:\\Ampero Elsewhere";
    const std::wstring shortcut = knownFolder(FOLDERID_CommonPrograms) + L"\\Ampero.lnk";
    check(runToEnd(L'"' + setup + L"\" /S /D=" + folder) == 0, L"the silent install succeeds");
    for (const wchar_t *file : {L"ampero.exe", L"alert.wav", L"uninstall.exe", L"LICENSE.txt",
                                L"THIRD-PARTY-NOTICES.txt"})
        check(exists(folder + L'\\' + file), std::wstring(L"installed: ") + file);

    check(uninstallValue(L"DisplayName") == L"Ampero" &&
              uninstallValue(L"DisplayVersion") == L"1.00",
          L"Add/Remove Programs lists Ampero 1.00");
    const std::wstring quietUninstall = uninstallValue(L"QuietUninstallString");
    check(quietUninstall.ends_with(L" /S"), L"QuietUninstallString " + quietUninstall);

    CoInitialize(nullptr);
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    wchar_t target[MAX_PATH] = L"", workingFolder[MAX_PATH] = L"";
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ))) {
        link->GetPath(target, MAX_PATH, nullptr, 0);
        link->GetWorkingDirectory(workingFolder, MAX_PATH);
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    check(_wcsicmp(target, (folder + L"\\ampero.exe").c_str()) == 0,
          L"the shortcut starts " + std::wstring(target));
    check(_wcsicmp(workingFolder, folder.c_str()) == 0,
          L"the shortcut starts it in " + std::wstring(workingFolder));
    {
        Ampero installed(target, workingFolder);
        check(installed.main != nullptr, L"the installed program shows its window");
        check(runToEnd(L'"' + setup + L"\" /S") != 0, L"installing over a running Ampero fails");
    }
    check(runToEnd(L'"' + setup + L"\" /S") == 0 && exists(folder + L"\\ampero.exe") &&
              !exists(knownFolder(FOLDERID_ProgramFiles) + L"\\Ampero"),
          L"installing again goes into the earlier install's folder");

    check(runToEnd(quietUninstall) == 0, L"the silent uninstall succeeds");
    const bool removed = waitUntil(
        [&] {
            return !exists(folder) && !exists(shortcut) && uninstallValue(L"DisplayName").empty();
        },
        30000);
    check(removed, L"uninstalling leaves no folder, shortcut or Add/Remove Programs entry");
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    SetProcessDPIAware();
    const std::wstring scenario = argc > 2 ? argv[2] : L"";
    if (scenario == L"windows")
        windowsScenario(argv[1]);
    else if (scenario == L"timer")
        timerScenario(argv[1]);
    else if (scenario == L"install" && argc > 3)
        installScenario(argv[3]);
    else {
        std::fprintf(stderr,
                     "usage: ampero_wine_driver AMPERO_EXE windows|timer|install SETUP_EXE\n");
        return 2;
    }
    std::printf("%s: %d failed checks\n", failures ? "FAILED" : "passed", failures);
    return failures ? 1 : 0;
}
