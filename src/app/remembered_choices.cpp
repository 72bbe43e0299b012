#include "app/remembered_choices.h"

#include "load/auto_refresh.h"
#include "load/core/settings_file.h"
#include "quotes/quotes_tab.h"
#include "realtime/real_time_tab.h"

namespace {
using AutoSort = QuotesTab::AutoSort;
const std::pair<AutoSort, const char*> AutoSortNames[] = {
    {AutoSort::None, "none"}, {AutoSort::Alphabetical, "alphabetical"}, {AutoSort::ByChange, "by change"}};

QString nameOf(AutoSort sort) {
    for (const auto& [value, name] : AutoSortNames)
        if (value == sort)
            return name;
    return "none";
}

AutoSort sortNamed(const QString& text) {
    for (const auto& [value, name] : AutoSortNames)
        if (text == name)
            return value;
    return AutoSort::None;
}
} // namespace

RememberedChoices::RememberedChoices()
    : settings_(tickwellSettingsFile(), QSettings::IniFormat), readable_(settings_.status() == QSettings::NoError) {}

void RememberedChoices::follow(QObject* context, QuotesTab& quotes, RealTimeTab& realTime) {
    restore(quotes, realTime);
    QObject::connect(&quotes, &QuotesTab::portfolioChosen, context,
                     [this, &quotes] { remember("Quotes/portfolio", quotes.portfolio().absolutePath()); });
    QObject::connect(&realTime, &RealTimeTab::portfolioChosen, context,
                     [this, &realTime] { remember("RealTime/portfolio", realTime.portfolio().absolutePath()); });
    QObject::connect(&quotes, &QuotesTab::autoSortChosen, context,
                     [this, &quotes] { remember("Quotes/autoSort", nameOf(quotes.autoSort())); });
    QObject::connect(&quotes.autoRefresh(), &AutoRefresh::timeChosen, context,
                     [this, &quotes] { remember("Quotes/refreshTime", quotes.autoRefresh().chosenTime()); });
    QObject::connect(&realTime.autoRefresh(), &AutoRefresh::timeChosen, context,
                     [this, &realTime] { remember("RealTime/refreshTime", realTime.autoRefresh().chosenTime()); });
}

void RememberedChoices::restore(QuotesTab& quotes, RealTimeTab& realTime) {
    if (!readable_)
        return;
    if (const QString path = rememberedPortfolio(settings_, "Quotes"); !path.isEmpty())
        quotes.usePortfolio(PortfolioPath(path));
    if (const QString path = rememberedPortfolio(settings_, "RealTime"); !path.isEmpty())
        realTime.usePortfolio(PortfolioPath(path));
    quotes.restoreAutoSort(sortNamed(settings_.value("Quotes/autoSort").toString()));
    quotes.autoRefresh().restoreTime(settings_.value("Quotes/refreshTime").toString());
    realTime.autoRefresh().restoreTime(settings_.value("RealTime/refreshTime").toString());
}

void RememberedChoices::remember(const QString& key, const QString& value) {
    settings_.setValue(key, value);
    // Written at once: the program ends without tearing its windows down.
    settings_.sync();
}
