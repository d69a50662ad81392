// Linked into every test program: points the plug-in's shared folder at a path that does not
// exist before any test runs, so no test reads or writes the machine's real folder tree (the
// plug-in creates no folders, so nothing is written there). Tests that need a tree make their
// own temporary one. A value set by the caller is kept.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{
struct IsolatedSharedFolder
{
    IsolatedSharedFolder()
    {
        if (std::getenv("QUARRION_SHARED_FOLDER") != nullptr)
            return;
        std::error_code error;
        auto folder = std::filesystem::temp_directory_path(error);
        if (error)
            folder = "/tmp";
        folder /= "quarrion-test-no-shared-folder-" + std::to_string(::getpid());
        ::setenv("QUARRION_SHARED_FOLDER", folder.string().c_str(), 1);
    }
};

const IsolatedSharedFolder isolatedSharedFolder;
} // namespace
