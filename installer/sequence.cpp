#include "installer/sequence.h"

#include <cstdio>
#include <iterator>
#include <memory>
#include <new>
#include <string>

#include "installer/background_window.h"
#include "installer/command_line.h"
#include "installer/destination.h"
#include "installer/dialogs.h"
#include "installer/exit_code.h"
#include "installer/install_actions.h"
#include "installer/reboot.h"
#include "installer/resource.h"
#include "installer/schedule_replace.h"
#include "installer/setup_run.h"
#include "installer/startup.h"
#include "installer/unattended.h"
#include "installer/windows_version.h"
#include "package/bytes.h"
#include "package/layout.h"
#include "uninstall_log/wendlo.h"
#include "win32/message_box.h"

namespace installer {

namespace {

constexpr char kRunPackError[] = "Setup Error !";

// Start-up: the checks, the unpacking, the header, and the layout check that
// keeps every later read inside the body. On false the user has been told.
bool StartUp(SetupRun& run, BackgroundSettings* colours) {
    EnterProgramFolder();
    if (!VerifyPackage(run.instance, colours)) return false;
    if (!UnpackPackage("setup.dat", run.instance, &run.tempFile, package::kMaxBodySize,
                       !run.unattended))
        return false;
    run.stream.reset(OpenPackageStream(run.tempFile.path(), &run.header));
    if (!run.stream || !package::CheckPackageLayout(run.stream.get(), run.header))
        return ShowInstallError(IDS_CRC_FAILED, run.instance), false;
    return true;
}

// path as a full path from the current folder; "" stays "".
std::string FullPath(const std::string& path) {
    char full[MAX_PATH];
    DWORD len = path.empty() ? 0 : GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return len > 0 && len < MAX_PATH ? std::string(full) : path;
}

void BuildTitle(const package::PackageHeader& header, char* title, size_t titleSize) {
    if (header.title[0] != 0)
        snprintf(title, titleSize, "%s", header.title);
    else
        snprintf(title, titleSize, "Setup of %s version %s", header.appName, header.version);
}

// A block of text from the package, NUL-terminated. Null, after message 6,
// when it cannot be had: the layout check bounds the size, but memory may
// still run short, and a build without exceptions would end the process.
std::unique_ptr<char[]> ReadText(const SetupRun& run, uint32_t offset, uint32_t size) {
    std::unique_ptr<char[]> text(new (std::nothrow) char[(size_t)size + 1]);
    if (!text || fseek(run.stream.get(), (long)offset, SEEK_SET) != 0 ||
        fread(text.get(), 1, size, run.stream.get()) != size)
        return ShowInstallError(IDS_CRC_FAILED, run.instance), nullptr;
    text[size] = 0;
    return text;
}

// An unattended run accepts the licence: whoever started it has.
bool AcceptLicence(const SetupRun& run) {
    if (run.header.licenceFlag == 0 || run.unattended) return true;
    auto text = ReadText(run, run.header.licenceOffset, run.header.licenceSize);
    if (!text) return false;
    if (ShowLicenceDialog(run.instance, run.background.get(), text.get()) != IDC_CANCEL)
        return true;
    return win32::ShowMessage(run.background.get(),
                              "Are you sure you want to abort this installation ? ", kSetupName,
                              MB_YESNO | MB_ICONQUESTION) != IDYES;
}

bool RunPacksOrWarn(const SetupRun& run, uint8_t count, uint32_t offset, const char* warning) {
    if (count == 0 || RunPacksStep(run, count, offset)) return true;
    win32::ShowMessage(run.background.get(), warning, kRunPackError, MB_OK | MB_ICONWARNING);
    return false;
}

// Offers at most the first three types; with fewer than two there is no choice.
void ReadSetupTypes(SetupRun& run) {
    run.options.typeCount = 1;
    if (run.header.setupTypeCount < 2) return;
    int count =
        run.header.setupTypeCount < kMaxSetupTypes ? run.header.setupTypeCount : kMaxSetupTypes;
    if (fseek(run.stream.get(), (long)run.header.setupTypesOffset, SEEK_SET) != 0) return;
    for (int i = 0; i < count; ++i) {
        uint8_t bytes[package::kSetupTypeRecordSize];
        package::SetupTypeRecord type;
        if (fread(bytes, 1, sizeof bytes, run.stream.get()) != sizeof bytes) return;
        package::DecodeSetupTypeRecord(bytes, sizeof bytes, &type);
        package::CopyText(run.options.typeNames[i], sizeof run.options.typeNames[i], type.name);
        run.typeMasks[i] = type.groupMask;
    }
    run.options.typeCount = (uint16_t)count;
}

bool ChooseDestination(SetupRun& run) {
    package::CopyText(run.options.destination, sizeof run.options.destination, run.header.appName);
    if (ShowOptionsDialog(run.instance, run.background.get(), &run.options) == IDC_CANCEL)
        return false;
    if (run.options.typeCount >= 2) run.groupMask = run.typeMasks[run.options.chosenType];
    return true;
}

// The options dialog's answers from the switches, checked before anything
// runs: the type by index or name, the destination. False after a line in
// the unattended log.
bool TakeUnattendedChoices(SetupRun& run) {
    const char* names[kMaxSetupTypes];
    for (size_t i = 0; i < std::size(names); ++i) names[i] = run.options.typeNames[i];
    int type = ChooseSetupType(run.typeSwitch, names, run.options.typeCount);
    if (type < 0)
        return LogUnattended("The package has no setup type " + run.typeSwitch), false;
    if (run.options.typeCount >= 2) run.groupMask = run.typeMasks[type];

    const char* registered = run.options.registeredFolder;
    std::string destination = run.destinationSwitch.empty()
                                  ? DefaultDestination(run.header.appName, registered)
                                  : run.destinationSwitch;
    if (registered[0] && !SameFolder(destination, registered))
        return LogUnattended(std::string("An installation of this application is registered in ") +
                             registered + ": it is not left without its entry for one in " +
                             destination),
               false;
    if (!package::CopyText(run.options.destination, sizeof run.options.destination,
                           destination.c_str()))
        return LogUnattended("The destination " + destination + " is too long"), false;
    return true;
}

// The destination made with every missing folder, and made current as the
// options dialog leaves it. False after a line in the unattended log.
bool MakeUnattendedDestination(SetupRun& run) {
    const char* destination = run.options.destination;
    if (MakeFolderPath(destination, &run.createdDirs) && SetCurrentDirectoryA(destination))
        return true;
    LogUnattended(std::string("Cannot create directory ") + destination +
                  "\n Installation must end now !");
    return false;
}

// The status window turns from file copying to the shortcut phases.
void ShowShortcutPhase(HWND status, const char* phase) {
    SetDlgItemTextA(status, IDC_STATUS_PHASE, phase);
    HWND bar = GetDlgItem(status, IDC_STATUS_PROGRESS);
    if (!bar) return;
    ShowWindow(GetDlgItem(status, IDC_STATUS_FILE), SW_HIDE);
    ShowWindow(bar, SW_HIDE);
    DestroyWindow(bar);
}

// Writes text to path in text mode, so that each line ends in CR LF. A
// stored CR LF stays one line end: only the line feed is written for it.
bool WriteReadmeFile(const char* path, const char* text) {
    win32::UniqueFile file(fopen(path, "w"));
    if (!file) return false;
    for (const char* p = text; *p; ++p) {
        if (p[0] == '\r' && p[1] == '\n') continue;
        if (fputc(*p, file.get()) == EOF) return false;
    }
    return fclose(file.release()) == 0;
}

// The readme is offered, then written to the install directory whatever the
// answer.
void OfferReadme(const SetupRun& run) {
    if (run.header.readmeFlag == 0) return;
    auto text = ReadText(run, run.header.readmeOffset, run.header.readmeSize);
    if (!text) return;
    if (!run.unattended &&
        win32::ShowMessage(nullptr, "Do you want to view the readme file now ?", "Setup question",
                           MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) == IDYES)
        ShowReadmeDialog(run.instance, run.background.get(), text.get());
    char path[MAX_PATH + 16];
    if (!package::JoinPath(path, sizeof path, run.log.installDir, "readme.txt")) return;
    // Recorded before it is written, like every installed file.
    AddLogEntryStep(run, path, kLogCopiedFile);
    WriteReadmeFile(path, text.get());
}

void ShowFinalMessage(const SetupRun& run) {
    char format[64] = {};
    LoadStringA(run.instance, IDS_COMPLETED, format, sizeof format);
    char text[256];
    snprintf(text, sizeof text, format, run.title);
    win32::ShowMessage(run.background.get(), text, kSetupName, MB_OK | MB_ICONINFORMATION);
}

// An unattended run's switches; false after a line in its log when one is
// unknown or malformed. Relative paths are taken from the folder setup was
// started in, before its own folder becomes the current one.
bool TakeSwitches(SetupRun& run, const char* commandTail) {
    Switches switches = ParseSwitches(commandTail);
    if (!switches.unattended) return true;
    run.unattended = true;
    RouteMessagesToLog(FullPath(switches.logPath));
    if (!switches.bad.empty())
        return LogUnattended("Unknown or malformed switch " + switches.bad), false;
    run.typeSwitch = switches.type;
    run.destinationSwitch = FullPath(switches.destination);
    return true;
}

}  // namespace

int RunSetup(HINSTANCE instance, const char* commandTail) {
    SetupRun run;
    run.instance = instance;
    if (!TakeSwitches(run, commandTail)) return kSetupFailed;
    BackgroundSettings colours;
    if (!StartUp(run, &colours)) return kSetupFailed;

    // Questions: every refusal returns 0, and the run's members clean up.
    BuildTitle(run.header, run.title, sizeof run.title);
    if (!run.unattended) {
        run.background.reset(
            CreateBackgroundWindow(instance, run.title, colours.backColor, colours.dithered));
        if (ShowWelcomeDialog(instance, run.background.get()) == IDC_CANCEL) return kSetupFailed;
    }
    if (!CheckWindowsVersion(run.header.allowedSystems))
        return ShowInstallError(IDS_WRONG_WINDOWS, instance), kSetupFailed;
    if (!AcceptLicence(run)) return kSetupFailed;
    // Each step seeks to what it reads: the types can be had before the packs run.
    ReadSetupTypes(run);
    package::CopyText(run.options.registeredFolder, sizeof run.options.registeredFolder,
                      RegisteredFolder(run.header.appName).c_str());
    if (run.unattended && !TakeUnattendedChoices(run)) return kSetupFailed;
    if (!RunPacksOrWarn(run, run.header.beforeCount, run.header.beforeOffset,
                        "Something wrong while executing a needed program BEFORE install\n"
                        "Now cleaning up temp data..."))
        return kSetupFailed;
    if (!(run.unattended ? MakeUnattendedDestination(run) : ChooseDestination(run)))
        return kSetupFailed;

    // Installation: no way back from here.
    if (!run.unattended) run.status.reset(OpenStatusWindow(instance, run.background.get()));
    run.log.Set(run.header.uninstall != 0, run.options.destination);
    for (const std::string& dir : run.createdDirs)
        AddLogEntryStep(run, dir.c_str(), kLogCreatedDir);
    GroupsInstalled groups = InstallGroupsStep(run);
    ShowShortcutPhase(run.status.get(), "Creating Desktop Shortcuts...");
    CreateShortcutsStep(run, run.header.desktopCount, run.header.desktopOffset);
    ShowShortcutPhase(run.status.get(), "Creating Start Menu Shortcuts...");
    CreateShortcutsStep(run, run.header.startMenuCount, run.header.startMenuOffset);
    if (run.log.enabled) RegisterUninstallStep(run, groups.bytes);
    ImportRegistryStep(run);
    run.status.reset();
    OfferReadme(run);
    if (!RunPacksOrWarn(run, run.header.afterCount, run.header.afterOffset,
                        "Something wrong while executing a needed program AFTER install"))
        return kSetupFailed;

    run.stream.reset();
    run.tempFile.Remove();
    // Unattended, nobody is asked and nothing restarts: the exit code tells.
    INT_PTR rebootChoice = run.header.reboot && !run.unattended
                               ? ShowRebootQuestion(instance, run.background.get())
                               : 0;
    ShowFinalMessage(run);
    run.background.reset();
    // The copy error, shown to a user who then knows, is all a deployment
    // tool would otherwise miss: unattended, it fails the run.
    if (run.unattended && !groups.complete) return kSetupFailed;
    if (run.unattended)
        return run.header.reboot || ReplaceScheduled() ? kSetupRestartNeeded : kSetupDone;
    // The restart is the very last thing: every window is gone.
    if (rebootChoice == IDC_REBOOT_NOW) RequestReboot();
    return kSetupDone;
}

}  // namespace installer
