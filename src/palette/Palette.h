#pragma once

#include "color/ColorValue.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

/// Colours gathered into palettes, the files they live in and travel in.
namespace palette {

/// A colour of a palette with its name.
struct Swatch {
    PackedColor color = 0;
    QString name;
    friend bool operator==(const Swatch&, const Swatch&) = default;
};

/// A named list of colours, in the order the user sees them.
struct Palette {
    QString name;
    int columns = 0; ///< how many per row a viewer shows (GIMP's Columns:), 0: its choice
    QList<Swatch> colors;
    friend bool operator==(const Palette&, const Palette&) = default;
};

/// Limits on what a file may hold; a file beyond them is refused. A
/// palette of MaxColors colours with long names stays well within
/// MaxFileBytes, so the caps bound the memory a read takes to a few times
/// the file.
inline constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
inline constexpr int MaxColors = 100000;
inline constexpr int MaxNameLength = 1024; ///< UTF-16 units of a palette's or a colour's name
inline constexpr int MaxColumns = 256;     ///< what GIMP allows

/// What a colour is called when nothing else names it (GIMP's word).
QString untitled();

/// A name as the files keep it: one line (line breaks and other control
/// characters become blanks), no blanks at either end, unpaired surrogates
/// replaced, byte-order marks dropped, at most MaxNameLength units (cut
/// before a pair, never inside).
QString cleanName(const QString& name);

/// The hex text of a colour, "#RRGGBB" in upper case.
QString hexText(PackedColor color);

/// Names a colour (the program passes the nearest CSS name).
using NameFunction = std::function<QString(PackedColor)>;
/// Writes a colour as text (the program passes its notations).
using TextFunction = std::function<QString(PackedColor)>;
/// Reads a colour text; nothing when the text is no colour.
using ColorReader = std::function<std::optional<PackedColor>(const QString&)>;

/// Why something could not be read or done, for the user, with where a file
/// went wrong.
struct Problem {
    QString message;  ///< whole, e.g. "line 7: red 300 is outside 0 to 255"
    qint64 line = 0;  ///< the 1-based line it concerns, 0 for none
    qint64 byte = -1; ///< the byte offset it concerns, -1 for none
};

/// A value, or the problem that kept it from being made.
template <typename T> class Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Problem problem) : m_problem(std::move(problem)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    /// Empty when ok().
    const Problem& problem() const { return m_problem; }
    const QString& error() const { return m_problem.message; }

private:
    std::optional<T> m_value;
    Problem m_problem;
};

/// The outcome of a change: done, or the problem that kept it from being
/// made (then nothing changed).
class Status {
public:
    Status() = default;
    Status(Problem problem) : m_problem(std::move(problem)), m_failed(true) {}
    static Status failed(const QString& message) { return Status(Problem{message}); }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Problem& problem() const { return m_problem; }
    const QString& error() const { return m_problem.message; }

private:
    Problem m_problem;
    bool m_failed = false;
};

} // namespace palette
