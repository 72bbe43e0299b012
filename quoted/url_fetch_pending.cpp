// Stands in for the url kind until it is built: every refresh of a url source fails, saying so.
#include "source_fetch.h"

namespace {

class PendingUrlFetch : public SourceFetch {
public:
    using SourceFetch::SourceFetch;
    void start() override {
        FetchOutcome outcome;
        outcome.error = "url sources are not built yet";
        emit done(outcome);
    }
};

} // namespace

std::unique_ptr<SourceFetch> makeUrlFetch(const SourceSettings&, QObject* parent) {
    return std::make_unique<PendingUrlFetch>(parent);
}
