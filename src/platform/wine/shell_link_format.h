#pragma once

#include <QByteArray>
#include <cstdint>

// Constants of the shortcut format shared by the reader and the writer.
namespace sw::lnk {

constexpr std::uint32_t kHeaderSize = 0x4C;
inline const QByteArray kLinkClsid = QByteArray::fromHex("0114020000000000c000000000000046");
inline const QByteArray kMyComputerClsid = QByteArray::fromHex("e04fd020ea3a6910a2d808002b30309d");

enum LinkFlag : std::uint32_t {
    HasIdList = 0x1,
    HasLinkInfo = 0x2,
    HasName = 0x4,
    HasRelativePath = 0x8,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
    IsUnicode = 0x80,
    ForceNoLinkInfo = 0x100,
    HasExpString = 0x200,
    HasDarwinId = 0x1000,
    HasExpIcon = 0x4000,
};

constexpr std::uint32_t kEnvironmentBlock = 0xA0000001;
constexpr std::uint32_t kDarwinBlock = 0xA0000006;
constexpr std::uint32_t kIconEnvironmentBlock = 0xA0000007;
constexpr std::uint32_t kPathBlockSize = 0x314;
constexpr int kPathBlockAnsi = 8;
constexpr int kPathBlockUnicode = 268;
constexpr int kMaxPath = 260;

constexpr std::uint32_t kBeef0004 = 0xBEEF0004;

} // namespace sw::lnk
