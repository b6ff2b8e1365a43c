#pragma once
// The beat rule of the beat detector on its own, so that tools measuring a
// track count beats exactly as the show will.

struct BeatRule {
    static constexpr float rearmed = 100000.0f;
    float threshold = rearmed;

    // One spectrum's loudest value and sum. A beat fires when the spectrum
    // is loud and peaky; the next one has to wait until the sum has dropped
    // below this beat's, so a swelling sound counts once.
    bool apply(float peak, float sum)
    {
        if (sum >= threshold)
            return false;
        threshold = rearmed;
        if (peak > 0.92f && sum > 10.0f) {
            threshold = sum;
            return true;
        }
        return false;
    }
};
