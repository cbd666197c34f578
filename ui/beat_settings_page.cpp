#include <cstdio>
#include <memory>

#include "engine/sample_intake.h"
#include "platform/dialog_controls.h"
#include "ui/resource_ids.h"

namespace {
int32_t BandLow(int32_t band) { return int32_t(uint32_t(band) & 0xFFFFu); }
int32_t BandHigh(int32_t band) { return int16_t(uint32_t(band) >> 16); }

// The beat detector's sensitivity and spectrum band. Each move writes its whole word at
// once; the band's halves are not kept in order (a low bin at or above the high one
// simply gives an empty band).
class BeatSettingsPage final : public DialogHandler {
public:
    explicit BeatSettingsPage(SampleIntake& intake) : intake(intake) {}

    int OnInit(WindowHandle dialog) override {
        DialogControls& controls = dialogControls();
        controls.SetTrackbarRange(dialog, IDC_BEAT_SENSITIVITY, 1, 256);
        controls.SetTrackbarPosition(dialog, IDC_BEAT_SENSITIVITY, intake.beatSensitivity);
        controls.SetTrackbarRange(dialog, IDC_BEAT_LOW, 0, kBins);
        controls.SetTrackbarPosition(dialog, IDC_BEAT_LOW, BandLow(intake.beatBand));
        controls.SetTrackbarRange(dialog, IDC_BEAT_HIGH, 0, kBins);
        controls.SetTrackbarPosition(dialog, IDC_BEAT_HIGH, BandHigh(intake.beatBand));
        return 1;
    }

    void OnScroll(WindowHandle dialog, int controlId) override {
        DialogControls& controls = dialogControls();
        const uint32_t position = uint32_t(controls.TrackbarPosition(dialog, controlId));
        const uint32_t band = uint32_t(intake.beatBand);
        if (controlId == IDC_BEAT_SENSITIVITY) intake.beatSensitivity = int32_t(position);
        else if (controlId == IDC_BEAT_LOW) intake.beatBand = int32_t((band & 0xFFFF0000u) | (position & 0xFFFFu));
        else if (controlId == IDC_BEAT_HIGH) intake.beatBand = int32_t((band & 0xFFFFu) | position << 16);
        char label[32];
        std::snprintf(label, sizeof label, "%d/%d", int(BandLow(intake.beatBand)), int(BandHigh(intake.beatBand)));
        controls.SetText(dialog, IDC_BEAT_LABEL, label);
    }

private:
    SampleIntake& intake;
};
}  // namespace

std::unique_ptr<DialogHandler> MakeBeatSettingsPage(SampleIntake& intake) {
    return std::make_unique<BeatSettingsPage>(intake);
}
