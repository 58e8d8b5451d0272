#include "submit/portable/start_policy.h"

namespace orvox::submit {

bool startSurvives(int result)
{
    switch (result) {
    case 0:
    case 4:   // a file or printer name the job settings cannot carry
    case 16:  // a settings file could not be saved
    case 17:  // a ticket or print file cannot be opened
    case 19:  // no such printer
    case 20:  // the settings were refused by the checks of the print run
    case 23:  // a question was declined
    case 24:
    case 25:  // the settings-file ticket is not one this library reads
    case 28:  // no file to print
    case 29:
    case 30:
    case 31:  // the queue could not be opened, a job file written, or a job sent
        return true;
    default:
        // 32 to 37: a TIFF file could not be converted; 38 to 43: the XML ticket is wrong.
        return (result >= 32 && result <= 37) || (result >= 38 && result <= 43);
    }
}

void StartPolicy::started(Clock::time_point now)
{
    running_ = true;
    broken_ = false;
    printerChosen_ = false;
    clean_ = true;
    jobs_ = 0;
    startedAt_ = now;
}

void StartPolicy::ended()
{
    running_ = false;
    clean_ = false;
    jobs_ = 0;
}

bool StartPolicy::stale(Clock::time_point now) const { return running_ && now - startedAt_ > maxAge_; }

bool StartPolicy::needsRenewal(Clock::time_point now) const
{
    return running_ && (stale(now) || (jobs_ > 0 && (broken_ || !reuse_)));
}

bool StartPolicy::canServe(bool jobNamesPrinter, Clock::time_point now) const
{
    if (!running_ || stale(now)) return false;
    if (jobs_ == 0) return true;
    return reuse_ && !broken_ && (jobNamesPrinter || !printerChosen_);
}

void StartPolicy::served(int result, bool mayHaveChosenPrinter)
{
    ++jobs_;
    clean_ = false;
    if (!startSurvives(result)) broken_ = true;
    if (mayHaveChosenPrinter) printerChosen_ = true;
}

} // namespace orvox::submit
