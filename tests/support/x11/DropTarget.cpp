// A window that takes one drop as a file manager's folder view does, for the
// check that drags names out of the real program with the real mouse.
//   drop_target direct-save|uri-list FOLDER [SECONDS]
// direct-save: the target speaks XdndDirectSave0 when the drag offers it: it
// writes the URI of the offered name in FOLDER on the source window, asks
// for XdndDirectSave0 and expects "S" (on "E" it falls back to the list, as
// the protocol asks). uri-list: a target without the protocol: it asks for
// text/uri-list and copies what the URIs name into FOLDER.
// It prints what it does, one line each, flushed ("accepting" once it has
// told the source a drop here would be taken, "finished" at the end), and
// exits 0 after one drop, 1 when none came within SECONDS (default 60) or
// the drop failed.
#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

xcb_connection_t* c = nullptr;
xcb_window_t self = 0;

xcb_atom_t Atom(const char* name)
{
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return atom;
}

std::string AtomName(xcb_atom_t atom)
{
    xcb_get_atom_name_reply_t* r = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr);
    std::string name;
    if (r) {
        name.assign(xcb_get_atom_name_name(r), static_cast<std::size_t>(xcb_get_atom_name_name_length(r)));
        std::free(r);
    }
    return name;
}

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

struct Property {
    xcb_atom_t type = XCB_ATOM_NONE;
    int format = 0;
    std::string bytes;
};

Property Read(xcb_window_t w, xcb_atom_t property, bool remove)
{
    Property p;
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, remove ? 1 : 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20), nullptr);
    if (r) {
        p.type = r->type;
        p.format = r->format;
        const int unit = r->format / 8;
        p.bytes.assign(static_cast<const char*>(xcb_get_property_value(r)),
                       static_cast<std::size_t>(xcb_get_property_value_length(r)) * static_cast<std::size_t>(unit ? unit : 1));
        std::free(r);
    }
    return p;
}

// The next event, or nullptr once `until` has passed.
std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> Next(Clock::time_point until)
{
    for (;;) {
        if (xcb_generic_event_t* e = xcb_poll_for_event(c))
            return {e, &std::free};
        if (xcb_connection_has_error(c))
            return {nullptr, &std::free};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0)
            return {nullptr, &std::free};
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left < 200 ? left : 200));
    }
}

// XdndStatus carries its action in the fifth field, XdndFinished in the third.
void SendTo(xcb_window_t source, xcb_atom_t type, std::uint32_t d1, std::uint32_t d2, std::uint32_t d4)
{
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = source;
    m.type = type;
    m.data.data32[0] = self;
    m.data.data32[1] = d1;
    m.data.data32[2] = d2;
    m.data.data32[4] = d4;
    xcb_send_event(c, 0, source, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&m));
    xcb_flush(c);
}

// The source's answer for `target`, or nothing when it gave none in time.
bool Convert(xcb_atom_t target, xcb_timestamp_t time, Property& answer)
{
    const xcb_atom_t into = Atom("DROP_TARGET_DATA");
    xcb_convert_selection(c, self, Atom("XdndSelection"), target, into, time);
    xcb_flush(c);
    // The source may run a whole extraction before it answers.
    const auto until = Clock::now() + std::chrono::seconds(60);
    while (auto e = Next(until)) {
        if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
            continue;
        const auto* n = reinterpret_cast<const xcb_selection_notify_event_t*>(e.get());
        if (n->property == XCB_ATOM_NONE)
            return false;
        answer = Read(self, n->property, true);
        return true;
    }
    return false;
}

std::string Encoded(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char ch : path) {
        if (std::isalnum(ch) || std::strchr("/-._~", ch)) {
            out += static_cast<char>(ch);
        } else {
            out += '%';
            out += hex[ch >> 4];
            out += hex[ch & 15];
        }
    }
    return out;
}

std::string Decoded(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// What a file manager does with a dropped list: copies each local file or
// folder into the folder of the drop.
bool CopyListed(const std::string& list, const fs::path& folder)
{
    bool any = false;
    std::size_t at = 0;
    while (at < list.size()) {
        std::size_t end = list.find('\n', at);
        if (end == std::string::npos)
            end = list.size();
        std::string line = list.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (line.rfind("file://", 0) != 0) {
            Say("not a local file: " + line);
            return false;
        }
        const std::string rest = line.substr(7);
        const fs::path from = Decoded(rest.substr(rest.find('/')));
        std::error_code error;
        fs::copy(from, folder / from.filename(), fs::copy_options::recursive, error);
        if (error) {
            Say("copy failed: " + from.string() + ": " + error.message());
            return false;
        }
        Say("copied " + from.filename().string());
        any = true;
    }
    return any;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || (std::strcmp(argv[1], "direct-save") != 0 && std::strcmp(argv[1], "uri-list") != 0)) {
        std::fprintf(stderr, "usage: drop_target direct-save|uri-list FOLDER [SECONDS]\n");
        return 2;
    }
    const bool directSave = std::strcmp(argv[1], "direct-save") == 0;
    const fs::path folder = fs::absolute(argv[2]);
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "drop_target: no display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    self = xcb_generate_id(c);
    const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, self, screen->root, 0, 0, 300, 300, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const std::string title = "Drop Target";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, self, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(title.size()), title.data());
    const std::uint32_t version = 5;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, self, Atom("XdndAware"), XCB_ATOM_ATOM, 32, 1, &version);
    xcb_map_window(c, self);
    xcb_flush(c);

    const xcb_atom_t enterAtom = Atom("XdndEnter"), positionAtom = Atom("XdndPosition"),
                     leaveAtom = Atom("XdndLeave"), dropAtom = Atom("XdndDrop"), statusAtom = Atom("XdndStatus"),
                     finishedAtom = Atom("XdndFinished"), copyAtom = Atom("XdndActionCopy"),
                     directSaveAtom = Atom("XdndDirectSave0"), uriListAtom = Atom("text/uri-list"),
                     plainAtom = Atom("text/plain");
    std::vector<xcb_atom_t> offered;
    bool accepting = false;
    const auto until = Clock::now() + std::chrono::seconds(seconds);
    while (auto e = Next(until)) {
        if ((e->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
            continue;
        const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(e.get());
        const xcb_window_t source = m->data.data32[0];
        if (m->type == enterAtom) {
            offered.clear();
            if (m->data.data32[1] & 1) {
                const Property list = Read(source, Atom("XdndTypeList"), false);
                const auto* atoms = reinterpret_cast<const xcb_atom_t*>(list.bytes.data());
                offered.assign(atoms, atoms + list.bytes.size() / sizeof(xcb_atom_t));
            } else {
                for (int i = 2; i < 5; ++i)
                    if (m->data.data32[i])
                        offered.push_back(m->data.data32[i]);
            }
            std::string names;
            for (xcb_atom_t a : offered)
                names += " " + AtomName(a);
            Say("enter:" + names);
        } else if (m->type == positionAtom) {
            bool takes = false;
            for (xcb_atom_t a : offered)
                takes = takes || a == uriListAtom || (directSave && a == directSaveAtom);
            SendTo(source, statusAtom, takes ? 1 : 0, 0, takes ? copyAtom : xcb_atom_t(XCB_ATOM_NONE));
            if (takes && !accepting)
                Say("accepting");
            accepting = takes;
        } else if (m->type == leaveAtom) {
            Say("leave");
            accepting = false;
        } else if (m->type == dropAtom) {
            const xcb_timestamp_t time = m->data.data32[2];
            bool saved = false, offersList = false, offersSave = false;
            for (xcb_atom_t a : offered) {
                offersList = offersList || a == uriListAtom;
                offersSave = offersSave || a == directSaveAtom;
            }
            if (directSave && offersSave) {
                const Property name = Read(source, directSaveAtom, false);
                Say("offered name: " + name.bytes);
                if (name.type != plainAtom || name.bytes.empty()) {
                    Say("no file name on the source window");
                } else {
                    const std::string uri = "file://" + Encoded((folder / name.bytes).string());
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, source, directSaveAtom, plainAtom, 8,
                                        static_cast<std::uint32_t>(uri.size()), uri.data());
                    Property answer;
                    const bool answered = Convert(directSaveAtom, time, answer);
                    Say("direct-save answer: " + (answered ? answer.bytes : std::string("none")));
                    saved = answered && answer.bytes == "S";
                    // "E": the source could not save there; the list follows.
                    offersSave = !(answered && answer.bytes == "E");
                }
            }
            if (!saved && offersList && !(directSave && offersSave)) {
                Property list;
                if (Convert(uriListAtom, time, list)) {
                    Say("uri-list: " + std::to_string(list.bytes.size()) + " bytes");
                    saved = CopyListed(list.bytes, folder);
                } else {
                    Say("no uri-list");
                }
            }
            SendTo(source, finishedAtom, saved ? 1 : 0, saved ? copyAtom : xcb_atom_t(XCB_ATOM_NONE), 0);
            Say(saved ? "finished" : "failed");
            xcb_disconnect(c);
            return saved ? 0 : 1;
        }
    }
    Say("no drop");
    xcb_disconnect(c);
    return 1;
}
