// Reads the VST3 module's factory directly, as a host's scanner does, below JUCE's hosting.

#include <pluginterfaces/base/ipluginbase.h>

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <string>

namespace
{
using namespace Steinberg;

std::string hex(const TUID id)
{
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (int i = 0; i < 16; ++i)
    {
        const auto b = static_cast<unsigned char>(id[i]);
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

struct Module
{
    Module()
    {
        const std::string path =
            std::string(QUARRION_VST3_PATH) + "/Contents/x86_64-linux/Quarrion.so";
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            return;
        using Entry = bool (*)(void*);
        if (auto entry = reinterpret_cast<Entry>(dlsym(handle, "ModuleEntry")))
            entered = entry(handle);
        using GetFactory = IPluginFactory* (*)();
        if (auto get = reinterpret_cast<GetFactory>(dlsym(handle, "GetPluginFactory")))
            factory = get();
    }
    ~Module()
    {
        if (factory != nullptr)
            factory->release();
        if (handle != nullptr)
        {
            using Exit = bool (*)();
            if (auto exit = reinterpret_cast<Exit>(dlsym(handle, "ModuleExit"));
                exit != nullptr && entered)
                exit();
            dlclose(handle);
        }
    }

    void* handle = nullptr;
    bool entered = false;
    IPluginFactory* factory = nullptr;
};
} // namespace

TEST(Vst3Factory, TwoClassesWithTheProductIdentityAndVst2DerivedIds)
{
    Module module;
    ASSERT_NE(module.handle, nullptr) << dlerror();
    ASSERT_TRUE(module.entered);
    ASSERT_NE(module.factory, nullptr);

    PFactoryInfo info{};
    ASSERT_EQ(module.factory->getFactoryInfo(&info), kResultOk);
    EXPECT_STREQ(info.vendor, "Veltrano");
    EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);

    ASSERT_EQ(module.factory->countClasses(), 2);

    IPluginFactory2* factory2 = nullptr;
    ASSERT_EQ(
        module.factory->queryInterface(IPluginFactory2_iid, reinterpret_cast<void**>(&factory2)),
        kResultOk);
    ASSERT_NE(factory2, nullptr);

    // The IDs a VST2 plug-in with the unique ID 0x6D48534D and the name "Quarrion" maps to:
    // "VST" + 'T' or 'E' (component or controller), the ID, then the name lower-cased.
    const std::string name = "7175617272696F6E00"; // "quarrion" and a terminating zero
    const std::string componentId = "565354"
                                    "6D48534D" +
                                    name;
    const std::string controllerId = "565345"
                                     "6D48534D" +
                                     name;

    bool sawComponent = false, sawController = false;
    for (int i = 0; i < 2; ++i)
    {
        PClassInfo2 c{};
        ASSERT_EQ(factory2->getClassInfo2(i, &c), kResultOk);
        EXPECT_STREQ(c.name, "Quarrion");
        EXPECT_STREQ(c.vendor, "Veltrano");
        EXPECT_STREQ(c.version, "1.0.1");
        EXPECT_STREQ(c.subCategories, "Fx|Distortion");
        EXPECT_EQ(c.classFlags, 0u);
        EXPECT_EQ(c.cardinality, PClassInfo::kManyInstances);
        if (std::strcmp(c.category, "Audio Module Class") == 0)
        {
            sawComponent = true;
            EXPECT_EQ(hex(c.cid), componentId);
        }
        else if (std::strcmp(c.category, "Component Controller Class") == 0)
        {
            sawController = true;
            EXPECT_EQ(hex(c.cid), controllerId);
        }
    }
    EXPECT_TRUE(sawComponent);
    EXPECT_TRUE(sawController);
    factory2->release();
}
