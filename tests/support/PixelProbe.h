#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// Small helpers for drawing tests: render a component or a look-and-feel call into an image
// and count or compare pixels. Pixels differ from one renderer to another, so tests look at
// colour classes and structure, never at golden images.
namespace pixel_probe
{
    inline juce::Image render (juce::Component& component)
    {
        juce::Image image (juce::Image::ARGB, juce::jmax (1, component.getWidth()),
                           juce::jmax (1, component.getHeight()), true);
        juce::Graphics g (image);
        component.paintEntireComponent (g, true);
        return image;
    }

    inline juce::Image draw (int width, int height, const std::function<void (juce::Graphics&)>& painter)
    {
        juce::Image image (juce::Image::ARGB, width, height, true);
        juce::Graphics g (image);
        painter (g);
        return image;
    }

    inline int count (const juce::Image& image, juce::Rectangle<int> area,
                      const std::function<bool (juce::Colour)>& predicate)
    {
        int n = 0;
        area = area.getIntersection (image.getBounds());

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (predicate (image.getPixelAt (x, y)))
                    ++n;

        return n;
    }

    inline int count (const juce::Image& image, const std::function<bool (juce::Colour)>& predicate)
    {
        return count (image, image.getBounds(), predicate);
    }

    /** Pixels that differ between two images of the same size inside the area. */
    inline int differences (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
    {
        int n = 0;
        area = area.getIntersection (a.getBounds()).getIntersection (b.getBounds());

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    ++n;

        return n;
    }

    /** Colour channels within tolerance of each other, alpha not compared. */
    inline bool nearRgb (juce::Colour actual, juce::Colour expected, int tolerance)
    {
        return std::abs (actual.getRed() - expected.getRed()) <= tolerance
            && std::abs (actual.getGreen() - expected.getGreen()) <= tolerance
            && std::abs (actual.getBlue() - expected.getBlue()) <= tolerance;
    }

    inline bool near (juce::Colour actual, juce::Colour expected, int tolerance)
    {
        return nearRgb (actual, expected, tolerance)
            && std::abs (actual.getAlpha() - expected.getAlpha()) <= tolerance;
    }
}
