#include "editor/lookandfeel/pluginLookAndFeel.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace
{

// Without a window manager a fresh X server has not interned the window-manager atoms, and
// JUCE's X11 code sends None for them when it creates a window. Interning them first from a
// connection of our own (kept open, so the server does not reset) gives it real ones.
void internWindowManagerAtoms()
{
    static void* connection = []() -> void*
    {
        auto* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
        if (x11 == nullptr)
            return nullptr;
        using OpenDisplay = void* (*)(const char*);
        using InternAtom = unsigned long (*)(void*, const char*, int);
        using Flush = int (*)(void*);
        auto open = reinterpret_cast<OpenDisplay>(dlsym(x11, "XOpenDisplay"));
        auto intern = reinterpret_cast<InternAtom>(dlsym(x11, "XInternAtom"));
        auto flush = reinterpret_cast<Flush>(dlsym(x11, "XFlush"));
        if (open == nullptr || intern == nullptr || flush == nullptr)
            return nullptr;
        auto* display = open(nullptr);
        if (display == nullptr)
            return nullptr;
        for (auto* name :
             {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING",
              "WM_CHANGE_STATE", "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE",
              "_NET_WM_STATE_HIDDEN", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_COMBO",
              "_NET_WM_ALLOWED_ACTIONS", "_MOTIF_WM_HINTS", "_NET_FRAME_EXTENTS", "_NET_WORKAREA"})
            intern(display, name, 0);
        flush(display);
        return display;
    }();
    juce::ignoreUnused(connection);
}

// Before JUCE connects to the display and looks the atoms up.
[[maybe_unused]] const bool atomsInterned = (internWindowManagerAtoms(), true);

// A stand-in editor window at the smallest editor size, with a menu near its bottom edge.
class MenuWindow : public ::testing::Test
{
protected:
    MenuWindow()
    {
        editor.setSize(466, 400);
        editor.setLookAndFeel(&laf);
        box.setLookAndFeel(&laf);
        for (int id = 1; id <= 12; ++id)
            box.addItem("Item " + juce::String(id), id);
        box.setBounds(200, 378, 60, 17);
        editor.addAndMakeVisible(box);
        editor.addToDesktop(0);
        editor.setVisible(true);
    }

    ~MenuWindow() override
    {
        juce::PopupMenu::dismissAllActiveMenus();
        box.setLookAndFeel(nullptr);
        editor.removeFromDesktop();
        editor.setLookAndFeel(nullptr);
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::Component editor;
    pluginLookAndFeel laf{&editor};
    juce::ComboBox box{"circuitMenu"};
};

TEST_F(MenuWindow, PopupOpensAsAChildOfTheEditorAndStaysInsideIt)
{
    const auto desktopWindows = juce::Desktop::getInstance().getNumComponents();
    box.showPopup();

    juce::Component* menu = nullptr;
    for (auto* child : editor.getChildren())
        if (child != &box)
            menu = child;

    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(editor.getLocalBounds().contains(menu->getBounds()))
        << menu->getBounds().toString();
    EXPECT_EQ(juce::Desktop::getInstance().getNumComponents(), desktopWindows);
}

TEST_F(MenuWindow, FocusedComboBoxDrawsATwoPixelFrameInItsButtonColour)
{
    box.setColour(juce::ComboBox::backgroundColourId, juce::Colour(0x00000000));
    box.setColour(juce::ComboBox::outlineColourId, juce::Colour(0x00000000));
    box.setColour(juce::ComboBox::buttonColourId, juce::Colour(0xffff0000));

    auto draw = [this]
    {
        juce::Image image(juce::Image::ARGB, 60, 17, true, juce::SoftwareImageType());
        juce::Graphics g(image);
        laf.drawComboBox(g, 60, 17, false, 40, 0, 20, 17, box);
        return image;
    };

    const auto unfocused = draw();
    EXPECT_EQ(unfocused.getPixelAt(0, 8).getAlpha(), 0);

    box.grabKeyboardFocus();
    ASSERT_TRUE(box.hasKeyboardFocus(false));
    const auto focused = draw();
    EXPECT_EQ(focused.getPixelAt(0, 8), juce::Colour(0xffff0000));
    EXPECT_EQ(focused.getPixelAt(1, 8), juce::Colour(0xffff0000));
    EXPECT_EQ(focused.getPixelAt(2, 8).getAlpha(), 0);

    // A disabled box never shows the focus frame.
    box.setEnabled(false);
    EXPECT_EQ(draw().getPixelAt(0, 8).getAlpha(), 0);
}

} // namespace
