// Setup.dll, the shipped settings module, loaded as the host loads it and
// driven through its dialog.
#include <windows.h>

#include <string>

#include "../../common/hostnotify.h"
#include "../../common/settingsfile.h"
#include "../../common/version.h"
#include "../../modules/setup/resource.h"
#include "check.h"
#include "support.h"
#include "unixlink.h"

namespace {

typedef const char*(__stdcall* TGetText)();
typedef int32_t(__stdcall* TExecWinVer)();
typedef void(__stdcall* TInit)(HWND, int32_t, const char*);
typedef HWND(__stdcall* TExecute)();

template <typename T> T Export(HMODULE library, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

std::string SetupPath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1) + "..\\..\\bin\\Setup.dll";
}

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The autostart value under `root`, "" for none; then set to `data` ("":
// removed) when one is given.
std::string RunValue(HKEY root, const char* data = nullptr)
{
    char before[MAX_PATH + 8] = "";
    DWORD size = sizeof before;
    HKEY key;
    CHECK(RegCreateKeyA(root, kRunKey, &key) == ERROR_SUCCESS);
    RegQueryValueExA(key, "Brindle", nullptr, nullptr, (BYTE*)before, &size);
    if (data && *data)
        RegSetValueExA(key, "Brindle", 0, REG_SZ, (const BYTE*)data, DWORD(strlen(data) + 1));
    else if (data)
        RegDeleteValueA(key, "Brindle");
    RegCloseKey(key);
    return before;
}

// One opening of the module's dialog for a program folder, with a hidden
// window of our own as the host's.
struct TSetupDialog {
    HMODULE library;
    HWND host;
    HWND dialog;
    TSetupDialog(const std::string& folder, int index)
    {
        library = LoadLibraryA(SetupPath().c_str());
        host = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        dialog = nullptr;
        if (!library)
            return;
        Export<TInit>(library, "Init")(host, index, folder.c_str());
        dialog = Export<TExecute>(library, "Execute")();
    }
    ~TSetupDialog()
    {
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        if (library)
            FreeLibrary(library);
        DestroyWindow(host);
    }
    // The notifications posted to the host so far, as wParam:lParam texts.
    std::string Notifications()
    {
        std::string seen;
        MSG message;
        while (PeekMessageA(&message, host, WM_HOSTNOTIFY, WM_HOSTNOTIFY, PM_REMOVE))
            seen += std::to_string(message.wParam) + ":" + std::to_string(message.lParam) + " ";
        return seen;
    }
    std::string Text(int id)
    {
        char text[64] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    bool Checked(int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    int CheckedIcon()
    {
        int checked = -1;
        for (int id = IDC_ICON_FIRST; id <= IDC_ICON_LAST; ++id)
            if (Checked(id))
                checked = checked == -1 ? id : 0;
        return checked;
    }
};

// Answers the next message box of this process on a thread of its own,
// since the box's own loop holds the thread that showed it.
struct TBoxAnswer {
    std::wstring text;
    HANDLE thread;
    static DWORD WINAPI Watch(void* self)
    {
        TBoxAnswer& answer = *static_cast<TBoxAnswer*>(self);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(10)) {
            HWND box = FindWindowA("#32770", "Brindlecap");
            if (!box || !IsWindowVisible(box))
                continue;
            wchar_t text[128] = L"";
            GetDlgItemTextW(box, 0xFFFF, text, 128);
            answer.text = text;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        return 0;
    }
    TBoxAnswer() { thread = CreateThread(nullptr, 0, Watch, this, 0, nullptr); }
    ~TBoxAnswer()
    {
        WaitForSingleObject(thread, 30000);
        CloseHandle(thread);
    }
};

} // namespace

CHECK_CASE(SetupAnswersTheScanWithoutInitAndCarriesItsVersion)
{
    HMODULE library = LoadLibraryA(SetupPath().c_str());
    CHECK(library);
    if (!library)
        return;
    CHECK(InCodePage(1251, "Настройка") == Export<TGetText>(library, "GetName")());
    CHECK_EQ(1, Export<TExecWinVer>(library, "ExecWinVer")());
    CHECK(Export<TGetText>(library, "GetDescription")()[0] != 0);
    CHECK(!FindWindowA(nullptr, InCodePage(1251, "Brindlecap - Настройки").c_str()));
    FreeLibrary(library);
    CHECK(!GetModuleHandleA(SetupPath().c_str()));

    std::string path = SetupPath();
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    std::string block(size, '\0');
    CHECK(size && GetFileVersionInfoA(path.c_str(), 0, size, &block[0]));
    const char* names[] = {"FileVersion", "InternalName", "OriginalFilename", "FileDescription"};
    const char* values[] = {BRINDLECAP_VERSION, "Setup", "Setup.dll",
                            "Библиотека настроек, модуль программы Brindlecap"};
    for (int i = 0; i < 4; ++i) {
        // The Russian block; the English one beside it says the same in English.
        std::wstring query = L"\\StringFileInfo\\041904E3\\" + Wide(names[i]);
        wchar_t* value = nullptr;
        UINT length = 0;
        CHECK(VerQueryValueW(&block[0], query.c_str(), reinterpret_cast<void**>(&value), &length));
        CHECK_STR(Wide(values[i]).c_str(), value ? value : L"");
    }
}

CHECK_CASE(SetupSavesNothingAndTellsNoOneWhenTheFileFails)
{
    // A settings file the save cannot write: the message box, the registry
    // left alone, no word to the host.
    TTempFolder folder;
    CHECK(folder.Ready());
    std::string path = folder.File("Brindlecap.ini");
    CHECK(MakeUnixLink("/dev/full", path.c_str()));
    {
        TSetupDialog setup(folder.Path(), 5);
        CHECK(setup.dialog);
        // The zeros it read are refused before any save; these are not.
        const int ids[] = {IDC_AUTOCLEAN_INTERVAL, IDC_AUTOCLEAN_PERCENT, IDC_CRITICAL_LOAD,
                           IDC_CRITICAL_CLEAN,     IDC_CPU_LIMIT,         IDC_INFO_REFRESH};
        const char* valid[] = {"30", "45", "95", "25", "80", "500"};
        for (int i = 0; i < 6; ++i)
            SetDlgItemTextA(setup.dialog, ids[i], valid[i]);
        CheckDlgButton(setup.dialog, IDC_AUTOSTART, BST_CHECKED);
        TBoxAnswer answer;
        SendMessageA(setup.dialog, WM_COMMAND, IDC_OK, 0);
        CHECK(answer.text == Wide("Ошибка записи файла Brindlecap.ini"));
        CHECK(!IsWindow(setup.dialog));
        CHECK(setup.Notifications() == "1:5 ");
        CHECK(RunValue(HKEY_LOCAL_MACHINE).empty());
    }
    CHECK(RemoveUnixLink(path.c_str()));

    // Held by another program that shares it for reading only: it can be
    // neither read nor written. The dialog shows the defaults, and "Ok"
    // closes without a word.
    const std::string ten(10, '\x11');
    CHECK(WriteWholeFile(path, ten));
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(other != INVALID_HANDLE_VALUE);
    {
        TSetupDialog setup(folder.Path(), 5);
        CHECK(setup.Text(IDC_AUTOCLEAN_INTERVAL) == "30");
        CHECK(setup.Text(IDC_INFO_REFRESH) == "500");
        CHECK_EQ(IDC_ICON_STATIC, setup.CheckedIcon());
        CHECK(!setup.Checked(IDC_AUTOSTART));
        SendMessageA(setup.dialog, WM_COMMAND, IDC_OK, 0);
        CHECK(!IsWindow(setup.dialog));
        CHECK(setup.Notifications() == "1:5 ");
    }
    CloseHandle(other);
    std::string onDisk;
    CHECK(ReadWholeFile(path, &onDisk) && onDisk == ten);
}

CHECK_CASE(SetupShowsAHandWrittenFileAsItIsAndRefusesToSaveItsNonsense)
{
    // Interval 200, percentages 0 and 250, a refresh period of 50 ms, a
    // processor limit of 251 %: what the host reads with its own guards.
    TTempFolder folder;
    CHECK(folder.Ready());
    std::string path = folder.File("Brindlecap.ini");
    const std::string file("\xC8\x00\x30\x00\x00\x5F\xFA\xFB\x01\x00\x00\x00\x00\x00\x00"
                           "\x32\x00\x00\x00\x00\x00\x00\x00",
                           23);
    CHECK(WriteWholeFile(path, file));
    TSetupDialog setup(folder.Path(), 3);
    CHECK(setup.dialog);
    const int ids[] = {IDC_AUTOCLEAN_INTERVAL, IDC_AUTOCLEAN_PERCENT, IDC_CRITICAL_LOAD,
                       IDC_CRITICAL_CLEAN,     IDC_CPU_LIMIT,         IDC_INFO_REFRESH};
    const char* shown[] = {"200", "0", "95", "250", "251", "50"};
    for (int i = 0; i < 6; ++i)
        CHECK(setup.Text(ids[i]) == shown[i]);
    {
        TBoxAnswer answer;
        SendMessageA(setup.dialog, WM_COMMAND, IDC_OK, 0);
        CHECK(
            answer.text ==
            Wide("Ошибка ввода поля «Автоматическое очищение каждые (мин)»: допустимо от 0 до 99"));
    }
    CHECK(IsWindow(setup.dialog));
    CHECK(GetFocus() == GetDlgItem(setup.dialog, IDC_AUTOCLEAN_INTERVAL));
    CHECK(setup.Notifications() == "");
    std::string onDisk;
    CHECK(ReadWholeFile(path, &onDisk) && onDisk == file);

    // Put right, the same dialog saves.
    const char* fixed[] = {"99", "1", "95", "100", "100", "100"};
    for (int i = 0; i < 6; ++i)
        SetDlgItemTextA(setup.dialog, ids[i], fixed[i]);
    SendMessageA(setup.dialog, WM_COMMAND, IDC_OK, 0);
    CHECK(!IsWindow(setup.dialog));
    CHECK(setup.Notifications() == "2:0 1:3 ");
    CHECK(ReadWholeFile(path, &onDisk) && onDisk.size() == 23);
    const std::string saved("\x63\x00\x30\x00\x01\x5F\x64\x64\x01\x00\x00\x00\x00\x00\x00"
                            "\x64\x00\x00\x00\x00\x00\x00\x00",
                            23);
    CHECK(onDisk == saved);
}

CHECK_CASE(SetupAutostartIsQuotedForEveryUserOrElseForThisUserAlone)
{
    TTempFolder folder;
    CHECK(folder.Ready() && WriteSettingsFile(folder.File("Brindlecap.ini").c_str(),
                                              kDefaultSettings) == SettingsWritten);
    const std::string program = folder.File("Brindlecap.exe"), quoted = '"' + program + '"';
    // The user's value before (none under HKLM), the box as shown and as
    // saved, the values after.
    const struct {
        std::string user;
        bool machineKey, shown, ticked;
        std::string machineAfter, userAfter;
    } steps[] = {
        {program, true, true, false, "", ""},   // the user's own, bare: it goes
        {"", false, false, true, "", quoted},   // the machine's key cannot be written
        {quoted, true, true, true, "", quoted}, // it starts already: nothing written
    };
    for (const auto& step : steps) {
        RunValue(HKEY_LOCAL_MACHINE, "");
        RunValue(HKEY_CURRENT_USER, step.user.c_str());
        if (!step.machineKey)
            CHECK(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRunKey) == ERROR_SUCCESS);
        TSetupDialog setup(folder.Path(), 0);
        CHECK_EQ(step.shown, setup.Checked(IDC_AUTOSTART));
        CheckDlgButton(setup.dialog, IDC_AUTOSTART, step.ticked ? BST_CHECKED : BST_UNCHECKED);
        SendMessageA(setup.dialog, WM_COMMAND, IDC_OK, 0);
        CHECK(RunValue(HKEY_LOCAL_MACHINE) == step.machineAfter);
        CHECK(RunValue(HKEY_CURRENT_USER) == step.userAfter);
    }
    RunValue(HKEY_LOCAL_MACHINE, "");
    RunValue(HKEY_CURRENT_USER, "");
}
