#include "platform/Fonts.h"

#include <map>

namespace platform
{
    namespace
    {
        const std::map<juce::String, juce::StringArray>& candidateFamilies()
        {
            static const std::map<juce::String, juce::StringArray> table {
                { "Times New Roman", { "Liberation Serif", "Nimbus Roman", "DejaVu Serif" } },
                { "Arial",           { "Liberation Sans", "Nimbus Sans", "DejaVu Sans" } },
                { "Courier New",     { "Liberation Mono", "Nimbus Mono PS", "DejaVu Sans Mono" } },
                { "Consolas",        { "Liberation Mono", "DejaVu Sans Mono" } },
                { "Segoe UI Symbol", { "DejaVu Sans" } },
            };
            return table;
        }

        std::map<juce::String, juce::String> computeResolved()
        {
            const auto installed = juce::Font::findAllTypefaceNames();
            std::map<juce::String, juce::String> resolved;

            for (const auto& [family, candidates] : candidateFamilies())
            {
                for (const auto& candidate : candidates)
                {
                    if (installed.contains (candidate))
                    {
                        resolved[family] = candidate;
                        break;
                    }
                }
            }
            return resolved;
        }

        std::unique_ptr<TavroLookAndFeel>& sharedLookAndFeel()
        {
            static std::unique_ptr<TavroLookAndFeel> lookAndFeel;
            return lookAndFeel;
        }
    }

    juce::String resolveFontFamily (const juce::String& family)
    {
        static const auto resolved = computeResolved();
        const auto found = resolved.find (family);
        return found != resolved.end() ? found->second : family;
    }

    juce::Typeface::Ptr TavroLookAndFeel::getTypefaceForFont (const juce::Font& font)
    {
        const auto& requested = font.getTypefaceName();
        const auto mapped = resolveFontFamily (requested);

        if (mapped == requested)
            return LookAndFeel_V4::getTypefaceForFont (font);

        juce::Font substitute (font);
        substitute.setTypefaceName (mapped);
        substitute.setTypefaceStyle (font.getTypefaceStyle());
        return juce::Typeface::createSystemTypefaceFor (substitute);
    }

    void installDefaultLookAndFeel()
    {
        auto& lookAndFeel = sharedLookAndFeel();
        if (lookAndFeel == nullptr)
            lookAndFeel = std::make_unique<TavroLookAndFeel>();

        juce::LookAndFeel::setDefaultLookAndFeel (lookAndFeel.get());
    }

    void removeDefaultLookAndFeel()
    {
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
        sharedLookAndFeel().reset();
    }
}
