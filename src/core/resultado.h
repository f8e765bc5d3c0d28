#pragma once
// Answers of reads, writes and copies are [[nodiscard]], and the build stops
// where one is dropped. Where a step is best effort, or its routine already
// told the user, the caller says so by name, with the reason beside it.

namespace tivane {

template <typename T>
inline void dispensaresultado(const T&)
{
}

}  // namespace tivane
