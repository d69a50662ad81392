#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The editor's look-and-feel: dark, warm-white menus, bubbles and combo boxes, fonts chosen by
// component name and window scale, and pop-up menus that open inside the editor window.
class pluginLookAndFeel : public juce::LookAndFeel_V4
{
public:
    // Every pop-up menu drawn with this look-and-feel becomes a child of `menuParent`.
    explicit pluginLookAndFeel(juce::Component* menuParent);

    void drawBubble(juce::Graphics&, juce::BubbleComponent&, const juce::Point<float>& tip,
                    const juce::Rectangle<float>& body) override;

    void drawPopupMenuBackground(juce::Graphics&, int width, int height) override;
    void drawPopupMenuItem(juce::Graphics&, const juce::Rectangle<int>& area, bool isSeparator,
                           bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                           const juce::String& text, const juce::String& shortcutKeyText,
                           const juce::Drawable* icon, const juce::Colour* textColour) override;
    juce::Component* getParentComponentForMenuOptions(const juce::PopupMenu::Options&) override;

    void drawComboBox(juce::Graphics&, int width, int height, bool isButtonDown, int buttonX,
                      int buttonY, int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont(juce::ComboBox&) override;
    juce::Label* createComboBoxTextBox(juce::ComboBox&) override;
    void positionComboBoxText(juce::ComboBox&, juce::Label&) override;

    juce::Font getLabelFont(juce::Label&) override;
    juce::Font getSliderPopupFont(juce::Slider&) override;
    int getSliderPopupPlacement(juce::Slider&) override;

    void drawCornerResizer(juce::Graphics&, int w, int h, bool isMouseOver,
                           bool isMouseDragging) override;
    void drawResizableFrame(juce::Graphics&, int w, int h, const juce::BorderSize<int>&) override;

    juce::Component* editor;
    // The editor's vertical scale factor, updated on every resize.
    float scale = 1.0f;
    juce::Colour darkColour{0xff2b302c};
    juce::Colour lightColour{0xffe8e0cb};
};
