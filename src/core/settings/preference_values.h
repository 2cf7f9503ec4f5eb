#pragma once
// The six values that steer a processing run: one live set, shown and edited
// in place by the Preferences dialog and read by the run at the moment of use.
#include <cstdint>
#include <string>
#include <string_view>

namespace bladeway {

class PreferenceValues {
  public:
    // Check values a check box accepts: off, on, grayed.
    static bool IsCheckValue(std::int64_t value) { return value >= 0 && value <= 2; }

    std::string sourceFolder;       // folder of the key data files
    std::string templateFolder;     // folder of the master templates
    std::string destinationFolder;  // folder that receives the programs

    const std::string& MirrorCharacter() const { return mirrorCharacter_; }
    // Keeps at most the first character, as the one-character field does.
    void SetMirrorCharacter(std::string_view text);

    std::int16_t XLToLHOption() const { return xlToLhOption_; }
    std::int16_t XToHOption() const { return xToHOption_; }
    // Each setter refuses (returns false, changes nothing) a value other than
    // 0, 1 or 2; an accepted non-zero value turns the other option off.
    bool SetXLToLHOption(std::int64_t value);
    bool SetXToHOption(std::int64_t value);

    bool TranslateOptionsVisible() const { return translateVisible_; }
    void SetTranslateOptionsVisible(bool visible) { translateVisible_ = visible; }

    // Back to the initial values: empty folders, "!", XLToLHOption 0, XToHOption 1,
    // options shown.
    void Reset() { *this = PreferenceValues{}; }

  private:
    std::string mirrorCharacter_ = "!";
    std::int16_t xlToLhOption_ = 0;
    std::int16_t xToHOption_ = 1;
    bool translateVisible_ = true;
};

}  // namespace bladeway
