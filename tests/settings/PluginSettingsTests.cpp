#include "settings/PluginSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
const char* const rootTag = "VELPLG_1833456461_Plugin_Settings";

// A temporary shared folder holding an empty maker tree; removed afterwards.
struct SettingsFixture : ::testing::Test
{
    SettingsFixture()
    {
        shared = juce::File::getSpecialLocation(juce::File::tempDirectory)
                     .getChildFile("quarrion-settings-test-" + juce::Uuid().toString());
        settingsFolder = shared.getChildFile("Veltrano/Settings");
        presetsFolder = shared.getChildFile("Veltrano/Presets/Quarrion");
        EXPECT_TRUE(settingsFolder.createDirectory());
        PluginSettings::setSharedFolderForTesting(shared);
        settings.settingsFileName = "Quarrion.vls";
    }

    ~SettingsFixture() override
    {
        PluginSettings::setSharedFolderForTesting({});
        shared.deleteRecursively();
    }

    juce::File settingsFile() const { return settingsFolder.getChildFile("Quarrion.vls"); }

    juce::String path(const juce::String& relative) const
    {
        return shared.getFullPathName() + "/" + relative;
    }

    // A hand-written settings file of this product, single line.
    void writeFile(const juce::String& attributes, const juce::String& children = {})
    {
        ASSERT_TRUE(settingsFile().replaceWithText(
            juce::String("<?xml version=\"1.0\"?><") + rootTag + " pluginName=\"Quarrion\" " +
            attributes + ">" + children + "</" + rootTag + ">"));
    }

    std::unique_ptr<juce::XmlElement> readBack() const
    {
        return juce::XmlDocument::parse(settingsFile());
    }

    juce::File shared, settingsFolder, presetsFolder;
    PluginSettings settings;
};
} // namespace

TEST_F(SettingsFixture, MissingFileIsWrittenWithTheDefaults)
{
    settings.readSettings();

    EXPECT_EQ(settings.settingsPath, path("Veltrano/Settings/"));
    EXPECT_EQ(settings.presetsPath, path("Veltrano/Presets/Quarrion/"));
    EXPECT_EQ(settings.samplesPath, path("Veltrano/Samples/Quarrion/"));
    EXPECT_EQ(settings.irFilesPath, path("Veltrano/IRs/Quarrion/"));
    EXPECT_EQ(settings.loadedSettingsVersion, 3);
    EXPECT_FALSE(settings.newsfeedDisabled);
    EXPECT_FALSE(settings.usingLegacyParameters);
    EXPECT_TRUE(settings.customSettings.isEmpty());

    const auto xml = readBack();
    ASSERT_NE(xml, nullptr);
    EXPECT_EQ(xml->getTagName(), rootTag);
    EXPECT_EQ(xml->getStringAttribute("pluginName"), "Quarrion");
    EXPECT_EQ(xml->getStringAttribute("settingsVersion"), "3");
    EXPECT_EQ(xml->getStringAttribute("presetsPath"), path("Veltrano/Presets/Quarrion/"));
    EXPECT_EQ(xml->getStringAttribute("samplesPath"), path("Veltrano/Samples/Quarrion/"));
    EXPECT_EQ(xml->getStringAttribute("settingsPath"), path("Veltrano/Settings/"));
    EXPECT_EQ(xml->getStringAttribute("irFilesPath"), path("Veltrano/IRs/Quarrion/"));
    EXPECT_EQ(xml->getStringAttribute("newsfeedDisabled"), "0");
    EXPECT_EQ(xml->getStringAttribute("usingLegacyParameters"), "0");
    EXPECT_EQ(xml->getNumChildElements(), 0);

    const char* order[] = {"pluginName",       "settingsVersion",      "presetsPath",
                           "samplesPath",      "settingsPath",         "irFilesPath",
                           "newsfeedDisabled", "usingLegacyParameters"};
    ASSERT_EQ(xml->getNumAttributes(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(xml->getAttributeName(i), order[i]);

    // Declaration, a blank line, then the element wrapped into "\r\n" lines.
    const auto text = settingsFile().loadFileAsString();
    EXPECT_TRUE(
        text.startsWith(juce::String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<") +
                        rootTag + " pluginName=\"Quarrion\" settingsVersion=\"3\""));
    EXPECT_TRUE(text.endsWith("/>\r\n"));
    EXPECT_EQ(text.replace("\r\n", "").indexOfChar('\n'), -1);
    juce::StringArray lines;
    lines.addTokens(text, "\r\n", "");
    lines.removeEmptyStrings();
    EXPECT_GT(lines.size(), 3) << "the element is wrapped";
    for (int i = 2; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].startsWith(juce::String::repeatedString(" ", 35)) &&
                    lines[i][35] != ' ')
            << "continuation lines line up under the first attribute: " << lines[i];
}

TEST_F(SettingsFixture, VersionDecidesWhetherTheFileIsRewritten)
{
    struct Case
    {
        const char* versionAttribute;
        int loaded;
        bool rewritten;
    };
    const Case cases[] = {{"settingsVersion=\"2\"", 2, true},
                          {"", 0, true},
                          {"settingsVersion=\"abc\"", 0, true},
                          {"settingsVersion=\"3\"", 3, false},
                          {"settingsVersion=\"7\"", 7, false}};

    const auto otherPresets = path("elsewhere/presets/");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.versionAttribute);
        writeFile(juce::String(c.versionAttribute) + " presetsPath=\"" + otherPresets + "\"");
        const auto before = settingsFile().loadFileAsString();

        PluginSettings s;
        s.settingsFileName = "Quarrion.vls";
        s.readSettings();
        EXPECT_EQ(s.loadedSettingsVersion, c.loaded);
        EXPECT_EQ(s.presetsPath, otherPresets);

        if (c.rewritten)
        {
            const auto xml = readBack();
            ASSERT_NE(xml, nullptr);
            EXPECT_EQ(xml->getStringAttribute("settingsVersion"), "3");
            EXPECT_EQ(xml->getStringAttribute("presetsPath"), otherPresets);
            EXPECT_EQ(xml->getStringAttribute("samplesPath"), path("Veltrano/Samples/Quarrion/"));
        }
        else
        {
            EXPECT_EQ(settingsFile().loadFileAsString(), before);
        }
    }
}

TEST_F(SettingsFixture, LegacyFileIsReplacedByDefaults)
{
    ASSERT_TRUE(settingsFile().replaceWithText(
        "<1833456461_Plugin_Settings pluginName=\"Quarrion\" settingsVersion=\"3\" "
        "presetsPath=\"/somewhere/old/\" newsfeedDisabled=\"1\"/>"));

    settings.readSettings();

    EXPECT_EQ(settings.presetsPath, path("Veltrano/Presets/Quarrion/"));
    EXPECT_FALSE(settings.newsfeedDisabled);
    const auto xml = readBack();
    ASSERT_NE(xml, nullptr);
    EXPECT_EQ(xml->getTagName(), rootTag);
    EXPECT_EQ(xml->getStringAttribute("presetsPath"), path("Veltrano/Presets/Quarrion/"));
    EXPECT_EQ(xml->getStringAttribute("newsfeedDisabled"), "0");
}

TEST_F(SettingsFixture, FilesThatAreNotThisProductsAreIgnoredAndLeftAlone)
{
    const juce::String other =
        "presetsPath=\"/other/\" settingsVersion=\"1\" newsfeedDisabled=\"1\"";
    const juce::String texts[] = {
        juce::String("<") + rootTag + " pluginName=\"Quarrionx\" " + other + "/>",
        juce::String("<") + rootTag + " pluginName=\"quarrion\" " + other + "/>",
        juce::String("<") + rootTag + " " + other + "/>",
        "<SomeOtherSettings pluginName=\"Quarrion\" " + other + "/>",
        "",
        "this is not XML at all",
        juce::String("<") + rootTag + " pluginName=\"Quarrion\" presetsPath=\"/other/",
        "\x01\x02<<>>&&; garbage",
    };

    for (const auto& text : texts)
    {
        SCOPED_TRACE(text.toStdString());
        ASSERT_TRUE(settingsFile().replaceWithText(text));
        PluginSettings s;
        s.settingsFileName = "Quarrion.vls";
        s.readSettings();
        EXPECT_EQ(s.presetsPath, path("Veltrano/Presets/Quarrion/"));
        EXPECT_FALSE(s.newsfeedDisabled);
        EXPECT_EQ(s.loadedSettingsVersion, 3);
        EXPECT_EQ(settingsFile().loadFileAsString(), text) << "not rewritten";
    }
}

TEST_F(SettingsFixture, TagNameIsMatchedIgnoringCase)
{
    ASSERT_TRUE(settingsFile().replaceWithText(
        "<velplg_1833456461_plugin_settings pluginName=\"Quarrion\" settingsVersion=\"3\" "
        "presetsPath=\"/other/\"/>"));
    settings.readSettings();
    EXPECT_EQ(settings.presetsPath, "/other/");
}

TEST_F(SettingsFixture, SwitchesReadAsBooleans)
{
    struct Case
    {
        const char* text;
        bool expected;
    };
    const Case cases[] = {{"yes", true}, {"", false},  {"1", true},   {"  true", true},
                          {"T", true},   {"0", false}, {"no", false}, {"false", false},
                          {"Y", true},   {" 1 ", true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        writeFile(juce::String("settingsVersion=\"3\" newsfeedDisabled=\"") + c.text +
                  "\" usingLegacyParameters=\"" + c.text + "\"");
        PluginSettings s;
        s.settingsFileName = "Quarrion.vls";
        s.readSettings();
        EXPECT_EQ(s.newsfeedDisabled, c.expected);
        EXPECT_EQ(s.usingLegacyParameters, c.expected);
    }

    writeFile("settingsVersion=\"3\"");
    settings.readSettings();
    EXPECT_FALSE(settings.newsfeedDisabled);
    EXPECT_FALSE(settings.usingLegacyParameters);
}

TEST_F(SettingsFixture, CustomSettingsAreReadAndWrittenBack)
{
    writeFile("settingsVersion=\"2\"",
              "<OTHER c=\"9\"/><CUSTOM_SETTINGS a=\"1.5\" b=\"x\"/><CUSTOM_SETTINGS z=\"4\"/>");

    settings.readSettings();

    ASSERT_EQ(settings.customSettings.size(), 2);
    EXPECT_EQ(settings.customSettings[0].name, "a");
    EXPECT_DOUBLE_EQ(settings.customSettings[0].value, 1.5);
    EXPECT_EQ(settings.customSettings[0].index, 0);
    EXPECT_EQ(settings.customSettings[1].name, "b");
    EXPECT_DOUBLE_EQ(settings.customSettings[1].value, 0.0);
    EXPECT_EQ(settings.customSettings[1].index, 1);

    const auto xml = readBack();
    ASSERT_NE(xml, nullptr);
    ASSERT_EQ(xml->getNumChildElements(), 1) << "only the custom settings are written";
    const auto* custom = xml->getChildByName("CUSTOM_SETTINGS");
    ASSERT_NE(custom, nullptr);
    ASSERT_EQ(custom->getNumAttributes(), 2);
    EXPECT_EQ(custom->getAttributeName(0), "a");
    EXPECT_EQ(custom->getAttributeValue(0), "1.5");
    EXPECT_EQ(custom->getAttributeName(1), "b");
    EXPECT_EQ(custom->getAttributeValue(1), "0");
}

TEST_F(SettingsFixture, WithoutACustomChildTheListIsKept)
{
    settings.customSettings.add({"kept", 2.0, 0});
    writeFile("settingsVersion=\"3\"");
    settings.readSettings();
    ASSERT_EQ(settings.customSettings.size(), 1);
    EXPECT_EQ(settings.customSettings[0].name, "kept");
}

TEST_F(SettingsFixture, SaveDialogStartsInUserOnlyWhenItIsAFolder)
{
    ASSERT_TRUE(presetsFolder.createDirectory());
    settings.readSettings();
    EXPECT_EQ(settings.initialPresetFile, presetsFolder.getFullPathName());

    ASSERT_TRUE(presetsFolder.getChildFile("User").create()); // a file, not a folder
    settings.readSettings();
    EXPECT_EQ(settings.initialPresetFile, presetsFolder.getFullPathName());

    ASSERT_TRUE(presetsFolder.getChildFile("User").deleteFile());
    ASSERT_TRUE(presetsFolder.getChildFile("User").createDirectory());
    settings.readSettings();
    EXPECT_EQ(settings.initialPresetFile, presetsFolder.getChildFile("User").getFullPathName());
    EXPECT_FALSE(settings.initialPresetFile.endsWith("/"));
}

TEST_F(SettingsFixture, PresentAttributesAreTakenEvenWhenEmpty)
{
    writeFile("settingsVersion=\"3\" presetsPath=\"\" samplesPath=\"/s/\"");
    settings.readSettings();
    EXPECT_EQ(settings.presetsPath, "");
    EXPECT_EQ(settings.samplesPath, "/s/");
    EXPECT_EQ(settings.irFilesPath, path("Veltrano/IRs/Quarrion/")) << "missing: default";
    EXPECT_EQ(settings.initialPresetFile, "");
}

TEST_F(SettingsFixture, MissingSettingsFolderLeavesDefaultsAndCreatesNothing)
{
    ASSERT_TRUE(settingsFolder.deleteRecursively());

    settings.readSettings();

    EXPECT_EQ(settings.presetsPath, path("Veltrano/Presets/Quarrion/"));
    EXPECT_EQ(settings.loadedSettingsVersion, 3);
    EXPECT_FALSE(settingsFolder.exists());
    EXPECT_FALSE(settings.writeSettings());
}

TEST_F(SettingsFixture, SettingsFileNameThatIsAFolderIsLeftAlone)
{
    ASSERT_TRUE(settingsFile().createDirectory());
    settings.readSettings();
    EXPECT_EQ(settings.presetsPath, path("Veltrano/Presets/Quarrion/"));
    EXPECT_TRUE(settingsFile().isDirectory());
}

TEST_F(SettingsFixture, OutdatedFileNamingAnUnwritableSettingsFolderKeepsItsValues)
{
    // The rewrite goes to the settings folder the file names, which does not exist; the values
    // read stay in force and the file in the default folder is not touched.
    const auto missing = path("no/such/folder/");
    writeFile("settingsVersion=\"1\" settingsPath=\"" + missing + "\" presetsPath=\"/p/\"");
    const auto before = settingsFile().loadFileAsString();

    settings.readSettings();

    EXPECT_EQ(settings.settingsPath, missing);
    EXPECT_EQ(settings.presetsPath, "/p/");
    EXPECT_EQ(settingsFile().loadFileAsString(), before);
    EXPECT_FALSE(juce::File(missing).exists());
}

TEST_F(SettingsFixture, RelativeSettingsFolderIsNeverWritten)
{
    writeFile("settingsVersion=\"1\" settingsPath=\"\"");
    const auto cwdFile = juce::File::getCurrentWorkingDirectory().getChildFile("Quarrion.vls");
    const bool existedBefore = cwdFile.exists();
    settings.readSettings();
    EXPECT_EQ(settings.settingsPath, "");
    EXPECT_EQ(cwdFile.exists(), existedBefore);
}

TEST_F(SettingsFixture, EnvironmentVariableReplacesTheSharedFolderUnlessATestSetsOne)
{
    const std::string isolated = std::getenv("QUARRION_SHARED_FOLDER") != nullptr
                                     ? std::getenv("QUARRION_SHARED_FOLDER")
                                     : "/nonexistent-quarrion-shared-folder";
    PluginSettings::setSharedFolderForTesting({});
    ::setenv("QUARRION_SHARED_FOLDER", shared.getFullPathName().toRawUTF8(), 1);
    EXPECT_EQ(PluginSettings::getSharedFolder(), shared);
    EXPECT_EQ(PluginSettings::defaultPresetsPath(), path("Veltrano/Presets/Quarrion/"));

    ::setenv("QUARRION_SHARED_FOLDER", "relative/path", 1);
    EXPECT_EQ(PluginSettings::getSharedFolder(),
              juce::File::getSpecialLocation(juce::File::commonDocumentsDirectory));
    ::unsetenv("QUARRION_SHARED_FOLDER");
    EXPECT_EQ(PluginSettings::getSharedFolder(),
              juce::File::getSpecialLocation(juce::File::commonDocumentsDirectory));
    ::setenv("QUARRION_SHARED_FOLDER", isolated.c_str(), 1);
}
