#include "settings/PluginSettings.h"
#include "settings/XmlTextFormat.h"

namespace
{
const juce::String makerFolderName = "Veltrano";

// Replaces the shared folder in tests; empty in the plug-in.
juce::String& sharedFolderOverride()
{
    static juce::String path;
    return path;
}

juce::String makerFolder()
{
    return PluginSettings::getSharedFolder().getFullPathName() + "/" + makerFolderName;
}

} // namespace

const juce::String PluginSettings::productName = "Quarrion";
const juce::String PluginSettings::legacySettingsRootTag =
    juce::String("1833456461") + "_Plugin_Settings";
const juce::String PluginSettings::settingsRootTag = "VELPLG_" + legacySettingsRootTag;
const juce::String PluginSettings::customSettingsTag = "CUSTOM_SETTINGS";

//==============================================================================
void PluginSettings::setSharedFolderForTesting(const juce::File& folder)
{
    sharedFolderOverride() = folder.getFullPathName();
}

juce::File PluginSettings::getSharedFolder()
{
    if (sharedFolderOverride().isNotEmpty())
        return juce::File(sharedFolderOverride());

    const auto fromEnvironment =
        juce::SystemStats::getEnvironmentVariable("QUARRION_SHARED_FOLDER", {});
    if (juce::File::isAbsolutePath(fromEnvironment))
        return juce::File(fromEnvironment);

    return juce::File::getSpecialLocation(juce::File::commonDocumentsDirectory);
}

juce::String PluginSettings::defaultSettingsPath()
{
    return makerFolder() + "/Settings/";
}

juce::String PluginSettings::defaultPresetsPath()
{
    return makerFolder() + "/Presets/" + productName + "/";
}

juce::String PluginSettings::defaultSamplesPath()
{
    return makerFolder() + "/Samples/" + productName + "/";
}

juce::String PluginSettings::defaultIrFilesPath()
{
    return makerFolder() + "/IRs/" + productName + "/";
}

juce::File PluginSettings::fileForPath(const juce::String& path)
{
    if (path.isEmpty())
        return {};
    if (juce::File::isAbsolutePath(path))
        return juce::File(path);
    return juce::File::getCurrentWorkingDirectory().getChildFile(path);
}

//==============================================================================
void PluginSettings::setDefaults()
{
    settingsPath = defaultSettingsPath();
    presetsPath = defaultPresetsPath();
    samplesPath = defaultSamplesPath();
    irFilesPath = defaultIrFilesPath();
    loadedSettingsVersion = currentSettingsVersion;
}

void PluginSettings::readSettings()
{
    // A legacy file is deleted and the read starts over; the second pass finds no file.
    for (int pass = 0; pass < 2; ++pass)
    {
        setDefaults();
        const auto file = fileForPath(settingsPath + settingsFileName);

        if (settingsFileName.isEmpty() || !file.exists())
        {
            writeSettings();
            break;
        }

        if (readFile(file))
            continue;

        if (loadedSettingsVersion < currentSettingsVersion)
            writeSettings();
        break;
    }

    if (presetsPath.isEmpty())
    {
        initialPresetFile = {};
        return;
    }

    const auto userFolder = fileForPath(presetsPath + "User/");
    initialPresetFile = userFolder.isDirectory() ? userFolder.getFullPathName()
                                                 : fileForPath(presetsPath).getFullPathName();
}

bool PluginSettings::readFile(const juce::File& file)
{
    // A folder or a file that does not parse counts as a file of another kind: defaults stay.
    if (!file.existsAsFile())
        return false;

    const auto root = juce::XmlDocument::parse(file);
    if (root == nullptr)
        return false;

    if (root->hasTagName(settingsRootTag))
    {
        if (root->getStringAttribute("pluginName") != productName)
            return false; // another product's file: ignored and left alone

        loadedSettingsVersion = root->getStringAttribute("settingsVersion").getIntValue();
        presetsPath = root->getStringAttribute("presetsPath", presetsPath);
        samplesPath = root->getStringAttribute("samplesPath", samplesPath);
        settingsPath = root->getStringAttribute("settingsPath", settingsPath);
        irFilesPath = root->getStringAttribute("irFilesPath", irFilesPath);
        newsfeedDisabled = root->getBoolAttribute("newsfeedDisabled", false);
        usingLegacyParameters = root->getBoolAttribute("usingLegacyParameters", false);
        readCustomSettings(*root);
        return false;
    }

    if (root->hasTagName(legacySettingsRootTag))
        return file.deleteFile();

    return false;
}

void PluginSettings::readCustomSettings(const juce::XmlElement& root)
{
    const auto* custom = root.getChildByName(customSettingsTag);
    if (custom == nullptr)
        return;

    customSettings.clearQuick();
    for (int i = 0; i < custom->getNumAttributes(); ++i)
        customSettings.add(
            {custom->getAttributeName(i), custom->getAttributeValue(i).getDoubleValue(), i});
}

bool PluginSettings::writeSettings() const
{
    // Only a file name below an absolute folder: never a file in the working directory.
    if (settingsFileName.isEmpty() || !juce::File::isAbsolutePath(settingsPath))
        return false;

    juce::XmlElement root(settingsRootTag);
    root.setAttribute("pluginName", productName);
    root.setAttribute("settingsVersion", currentSettingsVersion);
    root.setAttribute("presetsPath", presetsPath);
    root.setAttribute("samplesPath", samplesPath);
    root.setAttribute("settingsPath", settingsPath);
    root.setAttribute("irFilesPath", irFilesPath);
    root.setAttribute("newsfeedDisabled", newsfeedDisabled ? 1 : 0);
    root.setAttribute("usingLegacyParameters", usingLegacyParameters ? 1 : 0);

    if (!customSettings.isEmpty())
    {
        auto* custom = root.createNewChildElement(customSettingsTag);
        for (const auto& setting : customSettings)
            if (juce::XmlElement::isValidXmlName(setting.name))
                custom->setAttribute(setting.name, juce::String(setting.value));
    }

    // JUCE's replace-by-rename would remove an empty folder of that name.
    const juce::File file(settingsPath + settingsFileName);
    if (file.isDirectory())
        return false;
    return root.writeTo(file, veltrano::fileTextFormat());
}
