#pragma once

#include <QString>

#include <exception>

namespace base {

// Error numbers that the program reports after "Unanticipated error #".
enum ErrorNumber : int {
    ErrInvalidArgument = 5,
    ErrOverflow = 6,
    ErrSubscriptOutOfRange = 9, // a table is full
    ErrTypeMismatch = 13,       // a line that should hold a number does not
    ErrFileNotFound = 53,
    ErrInputPastEndOfFile = 62,
    ErrPermissionDenied = 70,
    ErrPathFileAccess = 75,
};

// The source that failures of the program's own operations name.
inline constexpr const char *kFailureSource = "Gearledger";

// A failure of a file or program operation: what the message boxes report.
// Callers ask what kind of failure it is (isMissingFile()) instead of
// comparing numbers.
class Failure : public std::exception
{
public:
    Failure(int number, QString description, QString source = QString::fromLatin1(kFailureSource));

    int number() const { return number_; }
    const QString &description() const { return description_; }
    const QString &source() const { return source_; }

    // The file or folder asked for does not exist (error 53).
    bool isMissingFile() const { return number_ == ErrFileNotFound; }

    // "Unanticipated error #53"
    QString shortMessage() const;
    // "Unanticipated error #53  Description: File not found   Source: Gearledger"
    QString longMessage() const;

    const char *what() const noexcept override { return what_.constData(); }

private:
    int number_;
    QString description_;
    QString source_;
    QByteArray what_;
};

} // namespace base
