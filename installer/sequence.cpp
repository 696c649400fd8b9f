#include "installer/sequence.h"

#include "installer/resource.h"
#include "installer/startup.h"
#include "win32/unique_handle.h"

namespace installer {

int RunSetup(HINSTANCE instance) {
    BackgroundSettings background;
    if (!VerifyPackage(instance, &background)) return 0;
    std::string tempPath;
    if (!UnpackPackage("setup.dat", instance, &tempPath)) return 0;

    package::PackageHeader header = {};
    win32::UniqueFile stream(OpenPackageStream(tempPath.c_str(), &header));
    if (!stream) ShowInstallError(IDS_CRC_FAILED, instance);
    // The installation steps follow the header read; until they run, a good
    // start-up ends here like any other exit: the temporary package goes.
    stream.reset();
    DeleteFileA(tempPath.c_str());
    return 0;
}

}  // namespace installer
