#pragma once

// A layer of the canvas that takes part in device rotation: it fades out as the rotation
// starts and back in as it ends. Durations are in seconds. Main thread only.
class LChartLayer {
public:
    virtual ~LChartLayer() = default;
    virtual void viewStartRotateWithDuration(double duration) = 0;
    virtual void viewEndRotateWithDuration(double duration) = 0;
};
