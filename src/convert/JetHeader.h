#pragma once

#include <QString>

// What the first page of a file says about it, read without the database library: the old
// program's collections are Jet 3 (Access 97) or Jet 4 (Access 2000 to 2003) files.
struct JetHeader {
    enum class Format { NotJet, Jet3, Jet4, Newer };

    Format format = Format::NotJet;
    quint16 codePage = 0;
    bool encrypted = false;
    bool password = false;

    bool IsJet() const { return format != Format::NotJet; }
};

JetHeader ReadJetHeader(const QString& fileName);
