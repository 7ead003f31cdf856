#include <cstdio>

#include "card/card.h"
#include "data/picture.h"

namespace zelk {

namespace {

std::string Num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string Escaped(std::string_view utf8) {
    std::string out;
    for (const char c : utf8) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
            out += c;
    }
    return out;
}

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[(v >> 18) & 63];
        out += kDigits[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[v & 63] : '=';
    }
    return out;
}

// The route drawing as an inner SVG element filling `r`.
std::string NestedDrawing(const TDrawing& d, const TCardRect& r) {
    std::string svg = DrawingToSvg(d);
    const std::size_t open = svg.find("<svg");
    const std::size_t close = svg.find('>', open);
    if (open == std::string::npos || close == std::string::npos) return {};
    const std::string tag = "<svg x=\"" + Num(r.X) + "\" y=\"" + Num(r.Y) + "\" width=\"" + Num(r.W) + "\" height=\"" +
                            Num(r.H) + "\" viewBox=\"0 0 " + Num(d.Width) + " " + Num(d.Height) +
                            "\" preserveAspectRatio=\"xMidYMid meet\" font-family=\"DejaVu Sans, Arial, sans-serif\">";
    return tag + svg.substr(close + 1);
}

}  // namespace

std::string CardToSvg(const TCardLayout& card) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(card.Width) + "mm\" height=\"" +
           Num(card.Height) + "mm\" viewBox=\"0 0 " + Num(card.Width) + " " + Num(card.Height) +
           "\" font-family=\"DejaVu Sans, Arial, sans-serif\">\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    for (const TCardBox& b : card.Boxes) {
        const TCardRect& r = b.Rect;
        switch (b.Kind) {
            case TCardBoxKind::Route:
                out += NestedDrawing(card.Route, r);
                out += "<rect x=\"" + Num(r.X) + "\" y=\"" + Num(r.Y) + "\" width=\"" + Num(r.W) + "\" height=\"" +
                       Num(r.H) + "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"0.3\"/>\n";
                break;
            case TCardBoxKind::Photo:
                if (card.Photo) {
                    std::string jpeg;
                    try {
                        jpeg = EncodePicture(*card.Photo, 90);
                    } catch (const std::exception&) {
                    }
                    out += "<image x=\"" + Num(r.X) + "\" y=\"" + Num(r.Y) + "\" width=\"" + Num(r.W) + "\" height=\"" +
                           Num(r.H) + "\" preserveAspectRatio=\"xMidYMid meet\" href=\"data:image/jpeg;base64," +
                           Base64(jpeg) + "\"/>\n";
                }
                break;
            case TCardBoxKind::Frame:
            case TCardBoxKind::Text:
                break;
        }
        if (b.Kind == TCardBoxKind::Frame)
            out += "<rect x=\"" + Num(r.X) + "\" y=\"" + Num(r.Y) + "\" width=\"" + Num(r.W) + "\" height=\"" +
                   Num(r.H) + "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"0.4\" stroke-dasharray=\"2 1\"/>\n";
        const double size = b.FontPt * 25.4 / 72.0;
        const double line = CardLineHeight(b.FontPt);
        const double inset = b.Kind == TCardBoxKind::Frame ? 2 : 0;
        for (std::size_t i = 0; i < b.Lines.size(); ++i) {
            out += "<text x=\"" + Num(r.X + inset) + "\" y=\"" +
                   Num(r.Y + inset + line * static_cast<double>(i) + line * 0.78) + "\" font-size=\"" + Num(size) +
                   "\"" + (b.Bold ? " font-weight=\"bold\"" : "") +
                   (b.Mono ? " font-family=\"DejaVu Sans Mono, Consolas, monospace\"" : "") +
                   " xml:space=\"preserve\">" + Escaped(b.Lines[i]) + "</text>\n";
        }
    }
    out += "</svg>\n";
    return out;
}

}  // namespace zelk
