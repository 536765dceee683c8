#pragma once

// Small helpers shared by the grid's own source files.

#include "platform/Scope.h"

#include <QByteArray>
#include <QtGlobal>

namespace exgrid_detail {

using platform::FlagGuard;
using platform::ScopeExit;

// The header record of a binary cell stream: the block's size and the id of
// the grid that wrote it (ExGrid_Binary.cpp).
struct TBinStreamHeader
{
    int ColCount = 0;
    int RowCount = 0;
    quint32 ID = 0;
};
// False when the bytes do not begin with a readable header record.
bool ReadBinStreamHeader(const QByteArray& bytes, TBinStreamHeader& head);

} // namespace exgrid_detail
