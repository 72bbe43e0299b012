#pragma once
// A command source's refresh: /bin/sh -c CMD in the sources file's folder, its standard output
// the feed. A run is bounded in time (30 s) and output (64 MB); past either it is killed with
// everything it started. Each line it writes on standard error is logged with the source's name.
#include "sources/source_fetch.h"

std::unique_ptr<SourceFetch> makeCommandFetch(const SourceSettings& settings, QObject* parent);
