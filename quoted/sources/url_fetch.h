#pragma once
// A url source's refresh: one GET over Qt Network, with the last good answer's validators, its
// redirects, time and body bounded, TLS checked against the system's authorities and the
// source's ca_file.
#include "sources/source_fetch.h"

#include <QString>

namespace url_fetch {

constexpr int TimeoutSeconds = 10; // the whole fetch, a slow body included
constexpr int MaxRedirects = 5;
constexpr qint64 MaxBodyBytes = qint64(64) << 20;

} // namespace url_fetch

std::unique_ptr<SourceFetch> makeUrlFetch(const SourceSettings& settings, QObject* parent);

// Whether a ca_file can serve as a private authority; false, with why, when it is unreadable or
// holds no PEM certificate.
bool caFileUsable(const QString& path, QString* why);
