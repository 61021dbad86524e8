#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace sw::dbcompiler {

// A command line given in a record, with its line for error messages.
struct SourceExample {
    QString commandLine;
    int line = 0;
};

// One [record] section of a source file, with where it came from for error messages.
struct SourceRecord {
    QString fileName;
    int line = 0; // line of "[record]"
    QString filePattern;
    QString companyPattern;
    QString namePattern;
    qint16 risk = 0;
    QMap<QString, QString> descriptions; // language code -> text, escapes resolved
    QStringList links;                   // "text;address", in order
    QList<SourceExample> examples;       // command lines that must rate to this record
    QString exampleCompany;              // the examples' program's CompanyName
    QString exampleName;                 // the examples' entry name
    QList<SourceExample> friends;        // legitimate command lines that must not rate to it
};

// Problems are collected, not thrown: a run reports every error it can find.
struct Diagnostics {
    QStringList errors;
    void add(const QString& fileName, int line, const QString& message);
};

// Parses one source text (UTF-8 already decoded). Records missing a field are reported and
// left out; lines are numbered from 1.
QList<SourceRecord> parseSource(const QString& fileName, const QString& text, Diagnostics& diagnostics);

// "\n" becomes a line break and "\\" a backslash; any other backslash stays as written, so
// paths such as C:\Windows need no escaping.
QString unescapeText(const QString& text);

} // namespace sw::dbcompiler
