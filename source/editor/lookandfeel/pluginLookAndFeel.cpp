#include "editor/lookandfeel/pluginLookAndFeel.h"

#include "resources/Resources.h"

pluginLookAndFeel::pluginLookAndFeel(juce::Component* menuParent)
    : editor(menuParent)
{
}

void pluginLookAndFeel::drawBubble(juce::Graphics& g, juce::BubbleComponent& bubble,
                                   const juce::Point<float>&, const juce::Rectangle<float>& body)
{
    // No arrow towards the tip: the bubble is a plain rounded box.
    g.setColour(bubble.findColour(juce::BubbleComponent::backgroundColourId));
    g.fillRoundedRectangle(body, 3.0f);
    g.setColour(bubble.findColour(juce::BubbleComponent::outlineColourId));
    g.drawRoundedRectangle(body, 3.0f, 1.0f);
}

void pluginLookAndFeel::drawPopupMenuBackground(juce::Graphics& g, int width, int height)
{
    g.setColour(findColour(juce::PopupMenu::backgroundColourId));
    g.fillRoundedRectangle(0.5f, 0.5f, (float)std::max(0, width - 1),
                           (float)std::max(0, height - 1), 4.0f);
}

void pluginLookAndFeel::drawPopupMenuItem(juce::Graphics& g, const juce::Rectangle<int>& area,
                                          bool isSeparator, bool isActive, bool isHighlighted,
                                          bool isTicked, bool hasSubMenu, const juce::String& text,
                                          const juce::String& shortcutKeyText,
                                          const juce::Drawable* icon,
                                          const juce::Colour* textColourToUse)
{
    if (isSeparator)
    {
        const auto line = area.reduced(5, 0);
        const auto h = area.getHeight();
        const auto y = area.getY() + std::min(h / 2 - 1, h);
        g.setColour(juce::Colour(0x33000000));
        g.fillRect(line.getX(), y, line.getWidth(), 1);
        g.setColour(juce::Colour(0x66ffffff));
        g.fillRect(line.getX(), y + 1, line.getWidth(), 1);
        return;
    }

    auto r = area.reduced(1);

    if (isHighlighted)
    {
        g.setColour(findColour(juce::PopupMenu::highlightedBackgroundColourId));
        g.fillRect(r);
        g.setColour(findColour(juce::PopupMenu::highlightedTextColourId));
    }
    else
    {
        g.setColour(textColourToUse != nullptr ? *textColourToUse
                                               : findColour(juce::PopupMenu::textColourId));
    }

    if (!isActive)
        g.setOpacity(0.3f);

    auto font = getPopupMenuFont();
    const auto maxFontHeight = (float)area.getHeight() / 1.3f;
    if (font.getHeight() > maxFontHeight)
        font.setHeight(juce::jlimit(0.1f, 10000.0f, maxFontHeight));
    g.setFont(font);

    const auto iconArea = r.removeFromLeft((r.getHeight() * 5) / 4).reduced(3).toFloat();

    if (icon != nullptr)
    {
        icon->drawWithin(
            g, iconArea,
            juce::RectanglePlacement::centred | juce::RectanglePlacement::onlyReduceInSize, 1.0f);
    }
    else if (isTicked)
    {
        // A small dot rather than a tick mark.
        const auto centre = iconArea.getCentre();
        g.fillEllipse(centre.x - 2.0f, centre.y - 2.0f, 5.0f, 5.0f);
    }

    if (hasSubMenu)
    {
        const auto arrow = 0.6f * getPopupMenuFont().getAscent();
        const auto x = (float)r.removeFromRight((int)arrow).getX();
        const auto cy = (float)r.getCentreY();
        juce::Path triangle;
        triangle.addTriangle(x, cy - arrow * 0.5f, x + arrow * 0.6f, cy, x, cy + arrow * 0.5f);
        g.fillPath(triangle);
    }

    r.removeFromRight(3);
    g.drawFittedText(text, r, juce::Justification::centredLeft, 1);

    if (shortcutKeyText.isNotEmpty())
    {
        g.setFont(font.withHeight(font.getHeight() * 0.75f));
        g.drawText(shortcutKeyText, r, juce::Justification::centredRight, true);
    }
}

juce::Component*
pluginLookAndFeel::getParentComponentForMenuOptions(const juce::PopupMenu::Options& options)
{
    // Inside the editor, whatever the options say: a plug-in window must not spawn desktop
    // windows of its own. Without an editor JUCE's default applies.
    if (editor != nullptr)
        return editor;
    return juce::LookAndFeel_V4::getParentComponentForMenuOptions(options);
}

void pluginLookAndFeel::drawComboBox(juce::Graphics& g, int width, int height, bool, int, int, int,
                                     int, juce::ComboBox& box)
{
    const juce::Rectangle<float> bounds(0.0f, 0.0f, (float)width, (float)height);
    g.fillAll(box.findColour(juce::ComboBox::backgroundColourId));

    if (box.isEnabled() && box.hasKeyboardFocus(false))
    {
        g.setColour(box.findColour(juce::ComboBox::buttonColourId));
        g.drawRect(bounds, 2.0f);
    }
    else
    {
        g.setColour(box.findColour(juce::ComboBox::outlineColourId));
        g.drawRect(bounds, 1.0f);
    }

    g.setColour(box.findColour(juce::ComboBox::outlineColourId));
    g.drawRect(bounds, 1.0f);
}

juce::Font pluginLookAndFeel::getComboBoxFont(juce::ComboBox& box)
{
    if (box.getName() == "presetMenu")
        return juce::Font(veltrano::textFontRegular()).withHeight(16.0f);
    return juce::Font(14.0f);
}

juce::Label* pluginLookAndFeel::createComboBoxTextBox(juce::ComboBox& box)
{
    // Named after its box, so getLabelFont can tell the preset name from the circuit name.
    return new juce::Label(box.getName(), juce::String());
}

void pluginLookAndFeel::positionComboBoxText(juce::ComboBox& box, juce::Label& label)
{
    label.setBounds(1, 0, box.getWidth() - 1, box.getHeight() - 1);
    label.setFont(getComboBoxFont(box));
}

juce::Font pluginLookAndFeel::getLabelFont(juce::Label& label)
{
    const auto& name = label.getName();
    if (name == "presetMenu")
        return juce::Font(veltrano::textFontRegular()).withHeight(std::max(14.0f * scale, 10.0f));
    if (name == "pluginVersion")
        return juce::Font(veltrano::textFontRegular()).withHeight(std::max(9.0f * scale, 5.0f));
    if (name == "circuitMenu")
        return juce::Font(veltrano::textFontBold()).withHeight(std::max(10.0f * scale, 6.0f));
    return juce::Font(veltrano::textFontBold()).withHeight(11.0f);
}

juce::Font pluginLookAndFeel::getSliderPopupFont(juce::Slider&)
{
    return juce::Font(veltrano::textFontBold()).withHeight(12.0f);
}

int pluginLookAndFeel::getSliderPopupPlacement(juce::Slider&)
{
    return juce::BubbleComponent::above;
}

void pluginLookAndFeel::drawCornerResizer(juce::Graphics& g, int w, int h, bool, bool)
{
    const auto t = (float)std::min(w, h) * 0.075f;
    const auto fw = (float)w, fh = (float)h;

    for (float i = 0.0f; i < 1.0f; i += 0.3f)
    {
        g.setColour(lightColour);
        g.drawLine(fw * i, fh + 1.0f, fw + 1.0f, fh * i, t);
        g.setColour(darkColour);
        g.drawLine(fw * i + t, fh + 1.0f, fw + 1.0f, fh * i + t, t);
    }
}

void pluginLookAndFeel::drawResizableFrame(juce::Graphics& g, int w, int h,
                                           const juce::BorderSize<int>& border)
{
    // The frame stays active for dragging but is never seen.
    if (!border.isEmpty())
    {
        g.setColour(juce::Colours::transparentBlack);
        g.drawRect(juce::Rectangle<int>(w, h), std::max(1, border.getTop()));
    }
}
