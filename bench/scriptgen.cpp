#include "scriptgen.h"

#include <cstdint>
#include <string>

namespace {

class Random {
public:
    std::uint32_t next() {
        // xorshift32: fixed sequence on every platform.
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }

private:
    std::uint32_t state_ = 2463534242u;
};

const char *const kKeys[] = {"F1", "F2", "F3", "KP_END", "MOUSE2", "j", "k", "TAB", "SHIFT", "x", "UPARROW", "kp_5"};
const char *const kCommands[] = {"+attack", "+altattack", "weapnext", "say", "say_team", "+use", "force_throw",
                                 "saberAttackCycle", "centerview", "+moveup", "toggleconsole", "screenshot"};
const char *const kCvars[] = {"cg_fov", "com_maxfps", "rate", "snaps", "cl_maxpackets", "r_gamma",
                              "sensitivity", "cg_drawFPS", "s_volume", "name", "g_forcepowerdisable"};
const char *const kComments[] = {"// wider view", "// smoother", "// for LAN", "// caf\xE9 server",
                                 "// do not touch", "// \x80 trade menu"};
const char *const kWords[] = {"Loading", "menu", "ready", "saber", "duel", "\xA9" "clan", "na\xEFve", "\x93quoted\x94",
                              "done", "taunt", "gg"};

template <std::size_t N>
const char *pick(Random &r, const char *const (&words)[N]) {
    return words[r.below(N)];
}

void line(std::string &out, Random &r, std::uint32_t n) {
    switch (r.below(10)) {
    case 0:
    case 1:
        out += "bind ";
        out += pick(r, kKeys);
        out += " \"";
        out += pick(r, kCommands);
        out += "; echo ^";
        out += char('0' + r.below(8));
        out += pick(r, kWords);
        out += "\"";
        break;
    case 2:
    case 3:
        out += "seta ";
        out += pick(r, kCvars);
        out += " \"";
        out += std::to_string(r.below(1000));
        if (r.below(3) == 0) {
            out += '.';
            out += std::to_string(r.below(100));
        }
        out += "\" ";
        out += pick(r, kComments);
        break;
    case 4:
    case 5:
        out += "set a_" + std::to_string(n) + " \"vstr a_" + std::to_string(n + 1) + "; wait " +
               std::to_string(r.below(5)) + "\"";
        break;
    case 6:
        out += "echo ^";
        out += char('0' + r.below(8));
        for (std::uint32_t i = 0, words = 3 + r.below(6); i < words; ++i) {
            out += ' ';
            if (r.below(3) == 0) {
                out += '^';
                out += char('0' + r.below(8));
            }
            out += pick(r, kWords);
        }
        break;
    case 7:
        if (r.below(8) == 0) {
            // The menus built as one long line of chained commands.
            out += "set menu_" + std::to_string(n) + " \"";
            for (std::uint32_t i = 0, parts = 40 + r.below(120); i < parts; ++i) {
                out += pick(r, kCommands);
                out += i % 4 == 3 ? "; wait 2; " : "; ";
            }
            out += "vstr menu_" + std::to_string(n + 1) + "\"";
        } else {
            out += "// ---- section " + std::to_string(n) + " ----";
        }
        break;
    case 8:
        out += "vstr a_" + std::to_string(r.below(n + 1)) + ";" + pick(r, kCommands) + ";-1";
        break;
    default:
        break;  // blank line
    }
    out += "\r\n";
}

} // namespace

QByteArray GenerateScript(std::size_t bytes) {
    const std::string last = std::string("echo ") + kNeedle + "\r\n";
    std::string out;
    out.reserve(bytes + 4096);
    Random r;
    for (std::uint32_t n = 0; out.size() + last.size() < bytes; ++n) line(out, r, n);
    // Back to the last line end that leaves room for the closing line, then pad it exactly.
    std::size_t keep = out.size();
    while (keep + last.size() > bytes && keep > 0) {
        keep = out.rfind('\n', keep - 2);
        keep = keep == std::string::npos ? 0 : keep + 1;
    }
    out.resize(keep);
    // Indenting the closing line makes up the difference.
    if (keep + last.size() < bytes) out.append(bytes - keep - last.size(), ' ');
    out += last;
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

#include "commentlexer.h"

#include <cstring>

void StyleCommentsOnly(const char *text, std::size_t length, unsigned char *styles) {
    std::size_t i = 0;
    while (i < length) {
        if (text[i] == '/' && i + 1 < length && text[i + 1] == '/') {
            const std::size_t start = i;
            while (i < length && text[i] != '\r' && text[i] != '\n') ++i;
            std::memset(styles + start, 1, i - start);
            continue;
        }
        styles[i++] = 0;
    }
}
