#pragma once

#include <juce_core/juce_core.h>

// A named numeric value kept in the settings file for settings this product does not know.
struct CustomSetting
{
    juce::String name;
    double value = 0.0;
    int index = 0;
};

// The settings record: the maker's folder tree below the machine-wide shared documents folder,
// the product's settings file in it, two switches and the custom settings. Message thread only.
class PluginSettings
{
public:
    // Sets the folder the maker's tree lives in, for tests; an empty File restores the real one.
    static void setSharedFolderForTesting(const juce::File& folder);

    // The machine-wide shared documents folder ("/Users/Shared" on macOS, "/opt" on Linux).
    // The environment variable QUARRION_SHARED_FOLDER replaces it: that is a test seam, so that a
    // host-level test can load the built plug-in against a temporary tree. Nothing else sets it.
    static juce::File getSharedFolder();

    // Folder paths derived from the shared folder, each ending in "/".
    static juce::String defaultSettingsPath();
    static juce::String defaultPresetsPath();
    static juce::String defaultSamplesPath();
    static juce::String defaultIrFilesPath();

    // A path as the file system sees it: empty stays empty, a relative path is taken from the
    // working directory (so no absolute-path assertion fires on a hand-edited file).
    static juce::File fileForPath(const juce::String& path);

    static const juce::String settingsRootTag;       // "VELPLG_1833456461_Plugin_Settings"
    static const juce::String legacySettingsRootTag; // "1833456461_Plugin_Settings"
    static const juce::String customSettingsTag;     // "CUSTOM_SETTINGS"
    static const juce::String productName;           // "Quarrion"

    // Reads the settings file from the default settings folder, replacing a legacy file and
    // rewriting an outdated or missing one. Computes initialPresetFile at the end.
    void readSettings();

    // Writes the file into settingsPath; returns whether the file was written.
    bool writeSettings() const;

    juce::String settingsFileName;
    const int currentSettingsVersion = 3;
    int loadedSettingsVersion = 0;

    juce::String settingsPath;
    juce::String presetsPath;
    juce::String samplesPath;
    juce::String irFilesPath;
    bool newsfeedDisabled = false;
    bool usingLegacyParameters = false;
    juce::Array<CustomSetting> customSettings;

    // Where the save dialog starts: presetsPath + "User/" when that is a folder, else presetsPath,
    // without a trailing slash.
    juce::String initialPresetFile;

private:
    void setDefaults();
    // Returns true when the file was a legacy one and has been deleted.
    bool readFile(const juce::File& file);
    void readCustomSettings(const juce::XmlElement& root);
};
