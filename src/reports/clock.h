// The system date and time, injectable so that dated reports can be tested.
#pragma once

namespace heatx {

struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

// The machine's local time.
class SystemClock : public Clock {
  public:
    LocalDateTime Now() const override;
};

// Always the same moment (tests, reproducible reports).
class FixedClock : public Clock {
  public:
    explicit FixedClock(LocalDateTime moment) : moment_(moment) {}
    LocalDateTime Now() const override { return moment_; }
    void Set(LocalDateTime moment) { moment_ = moment; }

  private:
    LocalDateTime moment_;
};

}  // namespace heatx
