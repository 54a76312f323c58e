// The built launcher's notice when its main program fails the checks: one
// error box in the user's language, and the download page opened only on OK.
//
// How each case gets its language (probed under Wine 8.0): a Wine process
// takes its locale from LANG / LC_ALL of its Unix environment, and a Windows
// program started with CreateProcessW gets its parent's Unix environment, not
// the block passed in, so LANG there changes nothing. A Unix program started
// with CreateProcessW does get the block: each case starts Wine's loader with
// the launcher and the block. The loader hands back no process handle, so the
// launcher is then found among the processes by its image path.
//
// What the locales give (GetThreadLocale, GetUserDefaultLCID, and
// LOCALE_SISO639LANGNAME / LOCALE_SISO3166CTRYNAME): every locale in
// expected_texts.h gives the table's language id and its own name, es_ES
// giving 0x0C0A, Spanish (Spain) as Windows gives it. pl_PL is not generated
// on the test machine, yet Wine reads LC_ALL itself when the C library refuses
// it and gives 0x0415 pl_PL (LANG alone would give en_US). A Polish user has no
// block: the English text, but the page for pl_PL.
#include "support/expected_texts.h"
#include "support/test_files.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace testing_files;

namespace {

// Each Windows process start costs seconds under qemu-user.
const DWORD BOX_TIMEOUT_MS = 60000;
const DWORD EXIT_TIMEOUT_MS = 30000;
const DWORD BROWSER_TIMEOUT_MS = 20000;
// How long the browser gets to receive an address nobody should send; one
// that is sent arrives within 0.6 s of the launcher's exit, 32-bit or not.
const DWORD ABSENCE_WAIT_MS = 2000;
const UINT ANSWER_TIMEOUT_MS = 10000;
const int MESSAGE_TEXT_ID = 0xFFFF;

const char DOWNLOAD_PAGE[] =
    "http://support.quorvel.com/download/RURA/RURA_Installer01/?OS=win&LOCALE=";

enum class Answer { Ok, Cancel, Close };

struct Case {
    const char *locale;
    // The file laid at WINMODULE\KVXPortable.exe; empty for none.
    const wchar_t *target;
    Answer answer;
};

void PrintTo(const Case &c, std::ostream *out) {
    *out << c.locale;
}

const Case CASES[] = {
    {"zh_TW.UTF-8", L"unsigned.exe", Answer::Ok},
    {"de_DE.UTF-8", L"unsigned.exe", Answer::Cancel},
    {"en_US.UTF-8", L"", Answer::Ok},
    {"fr_FR.UTF-8", L"unsigned.exe", Answer::Close},
    {"it_IT.UTF-8", L"unsigned.exe", Answer::Ok},
    {"ja_JP.UTF-8", L"unsigned.exe", Answer::Ok},
    {"ko_KR.UTF-8", L"", Answer::Cancel},
    {"nl_NL.UTF-8", L"unsigned.exe", Answer::Close},
    {"pt_BR.UTF-8", L"unsigned.exe", Answer::Ok},
    {"ru_RU.UTF-8", L"unsigned.exe", Answer::Cancel},
    {"sv_SE.UTF-8", L"unsigned.exe", Answer::Ok},
    {"zh_CN.UTF-8", L"unsigned.exe", Answer::Close},
    {"es_ES.UTF-8", L"unsigned.exe", Answer::Ok},
    {"pl_PL.UTF-8", L"unsigned.exe", Answer::Ok},
};

std::wstring Widen(const std::string &ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring Environment(const wchar_t *name) {
    WCHAR value[4096] = {};
    DWORD length = GetEnvironmentVariableW(name, value, 4096);
    return length > 0 && length < 4096 ? value : L"";
}

// The box's text as composed from the table, English for locales it lacks.
std::wstring ExpectedMessage(const std::string &locale) {
    const wchar_t *format = nullptr;
    for (const expected_texts::Language &language : expected_texts::LANGUAGES) {
        if (language.id == 1033)
            format = language.format;
    }
    for (const expected_texts::Language &language : expected_texts::LANGUAGES) {
        if (locale == language.linuxLocale)
            format = language.format;
    }
    std::wstring message = format;
    message.replace(message.find(L"%s"), 2, expected_texts::PRODUCT_NAME);
    return message;
}

std::string ReadBytes(const std::wstring &path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    std::string bytes(65536, '\0');
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// This process's environment with the locale and the browser log replaced;
// Wine's loader gets it as its Unix environment.
std::vector<WCHAR> ChildEnvironment(const std::string &locale, const std::wstring &browserLog) {
    std::vector<WCHAR> block;
    auto add = [&block](const std::wstring &entry) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    };
    WCHAR *strings = GetEnvironmentStringsW();
    for (const WCHAR *entry = strings; *entry; entry += wcslen(entry) + 1) {
        if (_wcsnicmp(entry, L"LANG=", 5) != 0 && _wcsnicmp(entry, L"LC_", 3) != 0 &&
            _wcsnicmp(entry, L"RURA_BROWSER_LOG=", 17) != 0)
            add(entry);
    }
    FreeEnvironmentStringsW(strings);
    add(L"LANG=" + Widen(locale));
    add(L"LC_ALL=" + Widen(locale));
    add(L"RURA_BROWSER_LOG=" + browserLog);
    block.push_back(L'\0');
    return block;
}

// The running process whose image is `image`, opened to be waited for.
HANDLE OpenProcessOf(const std::wstring &image, DWORD *processId) {
    const std::wstring name = image.substr(image.rfind(L'\\') + 1);
    HANDLE found = nullptr;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return nullptr;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, name.c_str()) != 0)
            continue;
        HANDLE candidate =
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                        entry.th32ProcessID);
        WCHAR path[4096] = {};
        DWORD size = 4096;
        if (candidate && QueryFullProcessImageNameW(candidate, 0, path, &size) &&
            _wcsicmp(path, image.c_str()) == 0) {
            found = candidate;
            *processId = entry.th32ProcessID;
        } else if (candidate) {
            CloseHandle(candidate);
        }
    }
    CloseHandle(snapshot);
    return found;
}

std::wstring WindowText(HWND window) {
    WCHAR text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

std::wstring ClassName(HWND window) {
    WCHAR name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

struct Search {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM parameter) {
    Search *search = reinterpret_cast<Search *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && ClassName(window) == L"#32770")
        search->found.push_back(window);
    return TRUE;
}

// The visible dialog boxes of one process.
std::vector<HWND> DialogsOf(DWORD processId) {
    Search search = {processId, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND> *>(parameter)->push_back(child);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// Pixels of a `width` x `height` area: copied from `source` at (x, y), or,
// without a source, `icon` drawn over `background`.
std::vector<DWORD> Pixels(HDC source, int x, int y, int width, int height, HICON icon,
                          DWORD background) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC memory = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    DWORD *units = static_cast<DWORD *>(bits);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (source) {
        BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    } else {
        std::fill(units, units + count, background);
        DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    }
    GdiFlush();
    std::vector<DWORD> pixels(units, units + count);
    for (DWORD &pixel : pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// Whether the icon control shows the system's error icon. Icons of another
// process cannot be read back, so the screen is compared with our own drawing.
bool ShowsErrorIcon(HWND control) {
    RECT area = {};
    GetWindowRect(control, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;
    // Painting reaches the screen a little after the box appears.
    for (int attempt = 0; attempt < 20; ++attempt) {
        HDC screen = GetDC(nullptr);
        std::vector<DWORD> shown = Pixels(screen, area.left, area.top, width, height, nullptr, 0);
        ReleaseDC(nullptr, screen);
        // The icon's corner is transparent: it shows the box's background.
        if (shown == Pixels(nullptr, 0, 0, width, height, LoadIconW(nullptr, IDI_ERROR), shown[0]))
            return true;
        Sleep(100);
    }
    return false;
}

class NoticeSystemTest : public ::testing::TestWithParam<Case> {
  protected:
    // Makes Wine hand web addresses to the recorder for this run.
    static void SetUpTestSuite() {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, BROWSER_KEY, 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        WCHAR previous[4096] = {};
        DWORD size = sizeof previous - sizeof(WCHAR);
        DWORD type = 0;
        hadBrowsers_ =
            RegQueryValueExW(key, L"Browsers", nullptr, &type, reinterpret_cast<BYTE *>(previous),
                             &size) == ERROR_SUCCESS &&
            type == REG_SZ;
        previousBrowsers_ = hadBrowsers_ ? previous : L"";
        std::wstring recorder = Environment(L"RURA_BROWSER");
        registered_ = !recorder.empty() &&
                      RegSetValueExW(key, L"Browsers", 0, REG_SZ,
                                     reinterpret_cast<const BYTE *>(recorder.c_str()),
                                     static_cast<DWORD>((recorder.size() + 1) * sizeof(WCHAR))) ==
                          ERROR_SUCCESS;
        RegCloseKey(key);
    }

    static void TearDownTestSuite() {
        if (!registered_)
            return;
        if (hadBrowsers_) {
            RegSetKeyValueW(HKEY_CURRENT_USER, BROWSER_KEY, L"Browsers", REG_SZ,
                            previousBrowsers_.c_str(),
                            static_cast<DWORD>((previousBrowsers_.size() + 1) * sizeof(WCHAR)));
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, BROWSER_KEY, L"Browsers");
        }
    }

    void SetUp() override {
        launcher_ = WindowsPathFromEnvironment(L"RURA_LAUNCHER");
        fixtures_ = WindowsPathFromEnvironment(L"RURA_FIXTURES");
        ASSERT_TRUE(Exists(launcher_)) << "RURA_LAUNCHER is not set or missing";
        ASSERT_TRUE(Exists(fixtures_ + L"\\unsigned.exe")) << "RURA_FIXTURES is not set or empty";
        ASSERT_TRUE(registered_) << "cannot register RURA_BROWSER as Wine's browser";
        logsLinux_ = Environment(L"RURA_NOTICE_LOGS");
        logsWindows_ = WindowsPathFromEnvironment(L"RURA_NOTICE_LOGS");
        CreateDirectoryW(logsWindows_.c_str(), nullptr);
        ASSERT_TRUE(Exists(logsWindows_)) << "RURA_NOTICE_LOGS is not set or not a folder";
    }

    static constexpr const wchar_t *BROWSER_KEY = L"Software\\Wine\\WineBrowser";
    static bool registered_;
    static bool hadBrowsers_;
    static std::wstring previousBrowsers_;

    std::wstring launcher_;
    std::wstring fixtures_;
    std::wstring logsLinux_;
    std::wstring logsWindows_;
};

bool NoticeSystemTest::registered_ = false;
bool NoticeSystemTest::hadBrowsers_ = false;
std::wstring NoticeSystemTest::previousBrowsers_;

TEST_P(NoticeSystemTest, ShowsOneErrorBoxAndOpensTheDownloadPageOnlyOnOk) {
    const Case &c = GetParam();
    const std::string locale = c.locale;
    const std::string localeName = locale.substr(0, locale.find('.'));

    std::wstring folder = MakeTemporaryFolder(L"notice");
    ASSERT_TRUE(CopyTo(launcher_, folder + L"\\RURA_Win.exe"));
    CreateDirectoryW((folder + L"\\WINMODULE").c_str(), nullptr);
    if (*c.target) {
        ASSERT_TRUE(CopyTo(fixtures_ + L"\\" + c.target, folder + L"\\WINMODULE\\KVXPortable.exe"));
    }

    const std::wstring logName =
        std::to_wstring(GetCurrentProcessId()) + L"-" + Widen(localeName) + L".log";
    const std::wstring log = logsWindows_ + L"\\" + logName;
    DeleteFileW(log.c_str());
    std::vector<WCHAR> environment = ChildEnvironment(locale, logsLinux_ + L"/" + logName);

    const std::wstring image = folder + L"\\RURA_Win.exe";
    const std::wstring loader = Environment(L"WINELOADER");
    std::wstring commandLine = L"\"" + loader + L"\" \"" + image + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessW(WindowsPathFromEnvironment(L"WINELOADER").c_str(), &commandLine[0],
                               nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                               environment.data(), folder.c_str(), &startup, &started))
        << "cannot start Wine's loader: " << GetLastError();
    if (started.hProcess) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
    DWORD processId = 0;
    HANDLE process = nullptr;
    for (DWORD waited = 0; !process && waited < BOX_TIMEOUT_MS; waited += 50) {
        process = OpenProcessOf(image, &processId);
        if (!process)
            Sleep(50);
    }
    ASSERT_TRUE(process) << "the launcher did not start";

    HWND box = nullptr;
    for (DWORD waited = 0; !box && waited < BOX_TIMEOUT_MS; waited += 50) {
        std::vector<HWND> dialogs = DialogsOf(processId);
        if (!dialogs.empty())
            box = dialogs.front();
        else if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0)
            break;
    }
    EXPECT_TRUE(box) << "no box appeared";
    if (box) {
        EXPECT_EQ(WindowText(box), expected_texts::PRODUCT_NAME);
        EXPECT_EQ(WindowText(GetDlgItem(box, MESSAGE_TEXT_ID)), ExpectedMessage(locale));

        std::set<int> buttons;
        HWND icon = nullptr;
        for (HWND child : ChildrenOf(box)) {
            if (!IsWindowVisible(child))
                continue;
            const std::wstring kind = ClassName(child);
            if (kind == L"Button")
                buttons.insert(GetDlgCtrlID(child));
            if (kind == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                SendMessageW(child, STM_GETICON, 0, 0) != 0)
                icon = child;
        }
        EXPECT_EQ(buttons, (std::set<int>{IDOK, IDCANCEL}));
        EXPECT_TRUE(icon) << "the box shows no icon";
        if (icon) {
            EXPECT_TRUE(ShowsErrorIcon(icon)) << "the box's icon is not the error icon";
        }

        DWORD_PTR ignored = 0;
        if (c.answer == Answer::Close)
            SendMessageTimeoutW(box, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG,
                                ANSWER_TIMEOUT_MS, &ignored);
        else
            SendMessageTimeoutW(GetDlgItem(box, c.answer == Answer::Ok ? IDOK : IDCANCEL), BM_CLICK,
                                0, 0, SMTO_ABORTIFHUNG, ANSWER_TIMEOUT_MS, &ignored);
    }

    const bool exited = WaitForSingleObject(process, EXIT_TIMEOUT_MS) == WAIT_OBJECT_0;
    EXPECT_TRUE(exited) << "the launcher is still running; dialogs up: "
                        << DialogsOf(processId).size();
    if (!exited) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, EXIT_TIMEOUT_MS);
    }
    DWORD exitCode = 0xFFFFFFFF;
    GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    if (exited) {
        EXPECT_EQ(exitCode, 0u);
    }

    if (c.answer == Answer::Ok) {
        for (DWORD waited = 0; ReadBytes(log).empty() && waited < BROWSER_TIMEOUT_MS; waited += 50)
            Sleep(50);
    }
    // Time for a second address, or for one after Cancel, to arrive.
    Sleep(ABSENCE_WAIT_MS);
    const std::string expected =
        c.answer == Answer::Ok ? DOWNLOAD_PAGE + localeName + "\n" : std::string();
    EXPECT_EQ(ReadBytes(log), expected);
    if (!HasFailure())
        DeleteFileW(log.c_str());
}

std::string CaseName(const ::testing::TestParamInfo<Case> &info) {
    const std::string locale = info.param.locale;
    const char *answers[] = {"Ok", "Cancel", "Close"};
    return locale.substr(0, locale.find('.')) + "_" + answers[static_cast<int>(info.param.answer)] +
           (*info.param.target ? "" : "_NoTarget");
}

INSTANTIATE_TEST_SUITE_P(Languages, NoticeSystemTest, ::testing::ValuesIn(CASES), CaseName);

TEST(NoticeCases, CoverEveryLanguageOfTheTable) {
    for (const expected_texts::Language &language : expected_texts::LANGUAGES) {
        bool covered = false;
        for (const Case &c : CASES)
            covered = covered || std::string(c.locale) == language.linuxLocale;
        EXPECT_TRUE(covered) << language.linuxLocale;
    }
}

} // namespace
