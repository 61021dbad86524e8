#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace sw {

inline constexpr quint16 kResourceIcon = 3;
inline constexpr quint16 kResourceGroupIcon = 14;
inline constexpr quint16 kResourceVersion = 16;

// A resource type or name: an integer ID, or a string.
struct PeResourceName {
    quint16 id = 0;
    QString text;
    bool named = false;

    bool isNamed() const { return named; }
    bool is(quint16 value) const { return !isNamed() && id == value; }
    friend bool operator==(const PeResourceName&, const PeResourceName&) = default;
};

// One leaf of the resource tree. Its data lies inside the file: [fileOffset, fileOffset + size).
struct PeResource {
    PeResourceName type;
    PeResourceName name;
    quint16 language = 0;
    quint32 fileOffset = 0;
    quint32 size = 0;
};

// The headers and resource tree of a PE32 or PE32+ file, read from bytes. Every offset and length
// is checked against the file; damaged parts of the tree are left out, nothing throws.
class PeResources {
public:
    explicit PeResources(const QByteArray& file);

    // True for a file with the DOS and PE signatures and a known optional-header magic.
    bool isPe() const { return m_magic != 0; }
    // 0x10B (PE32), 0x20B (PE32+) or 0.
    quint16 magic() const { return m_magic; }
    // Every resource, in the directory's order (named entries first, then IDs ascending).
    const QList<PeResource>& resources() const { return m_resources; }
    QByteArray data(const PeResource& resource) const;

    // The first name (in directory order) of the given type.
    std::optional<PeResourceName> firstName(quint16 type) const;
    // The resource of that type and name, in `language` when present, else in the neutral language,
    // else US English, else the first one listed.
    std::optional<PeResource> find(quint16 type, const PeResourceName& name, quint16 language = 0) const;

private:
    struct Section {
        quint32 virtualAddress;
        quint32 virtualSize;
        quint32 rawSize;
        quint32 rawOffset;
    };

    bool readHeaders();
    std::optional<quint64> fileOffset(quint32 rva, quint64* available) const;
    void readTree();

    QByteArray m_file;
    quint16 m_magic = 0;
    QList<Section> m_sections;
    quint32 m_resourceRva = 0;
    quint32 m_resourceSize = 0;
    QList<PeResource> m_resources;
};

} // namespace sw
