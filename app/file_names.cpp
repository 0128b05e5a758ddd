#include "app/file_names.h"

bool IsSjisLeadByte(unsigned char Byte)
{
    return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

std::string ChangeFileExt(const std::string& FileName, const std::string& Ext)
{
    std::string::size_type period = std::string::npos;
    for (std::string::size_type i = 0; i < FileName.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(FileName[i]);
        if (IsSjisLeadByte(c)) {
            ++i;  // the trail byte may be 0x5C ("\"), but it is not a separator
            continue;
        }
        if (c == '.')
            period = i;
        else if (c == '\\' || c == ':')
            period = std::string::npos;
    }
    if (period == std::string::npos)
        return FileName + Ext;
    return FileName.substr(0, period) + Ext;
}

std::string CompletionNoticeText(const std::string& CsvPath)
{
    return "\x8f\x57\x8c\x76\x8c\x8b\x89\xca\x82\xf0"  // 集計結果を
           + CsvPath
           + "\x82\xd6\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";  // へ保存しました
}
