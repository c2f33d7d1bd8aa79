// The screen saver's entry point: Windows passes the switches (/S, /C, /P, /A) after the name.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "platform/win32/win_common.h"
#include "platform/win32/win_platform.h"
#include "startup/app.h"
#include "startup/cli_options.h"
#include "startup/mod1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell wants a single-threaded apartment for ShellExecute and the file dialog.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    mv::win32::WinPlatform platform(commandLine ? commandLine : L"");
    if (const auto answer = mv::AnswerCommandLine(platform.argumentList(), mv::CliSystem::Windows)) {
        platform.messageBox(answer->out, MB_ICONINFORMATION, "Marvoscope.scr");
        return answer->status;
    }
    mv::App app(platform);
    mv::win32::guarded([&] { mv::Main(app); });
    const int status = platform.run();
    CoUninitialize();
    return status;
}
