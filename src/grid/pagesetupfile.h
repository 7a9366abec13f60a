#pragma once

#include "core/result.h"
#include "core/status.h"
#include "grid/pagesetup.h"

#include <QString>

namespace fenpai {

// A page setup kept on its own, so that documents printed from the command line look like the
// window's: UTF-8 JSON with a format name, a version and the page setup object of a grid file.
class PageSetupFile final
{
public:
    static constexpr int kVersion = 1;
    static constexpr char kFormatName[] = "fenpai-page-setup";

    // Written whole or not at all; a failure names the file.
    [[nodiscard]] static Status save(const PageSetup &setup, const QString &path);
    // Every value is checked as in a grid file; a failure names the file and the fault.
    [[nodiscard]] static Result<PageSetup> load(const QString &path);
};

} // namespace fenpai
