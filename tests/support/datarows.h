#pragma once
// A data-driven test's table in one line: Columns<QString, int>({"name", "count"}) in the
// _data slot, and const auto [name, count] = Fetch<QString, int>({"name", "count"}) in the test.
#include <QtTest>
#include <array>
#include <tuple>
#include <utility>

template <class... T> void Columns(const std::array<const char *, sizeof...(T)> &names)
{
    std::size_t i = 0;
    (QTest::addColumn<T>(names[i++]), ...);
}

template <class... T, std::size_t... I>
std::tuple<T...> FetchColumns(const std::array<const char *, sizeof...(T)> &names, std::index_sequence<I...>)
{
    return {*static_cast<T *>(QTest::qData(names[I], qMetaTypeId<T>()))...};
}

template <class... T> std::tuple<T...> Fetch(const std::array<const char *, sizeof...(T)> &names)
{
    return FetchColumns<T...>(names, std::index_sequence_for<T...>());
}
