// The markup printed from the command line: no window, no display, nothing
// written but standard output and standard error.
#include "cli.h"

#include "regeditor.h"
#include "settingsbatch.h"
#include "settingstext.h"

#include <QByteArray>

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr std::int32_t LocalMachine = std::int32_t(0x80000002u);

// Output is written in blocks of about this size, each ending with a line.
constexpr std::size_t FlushSize = std::size_t(1) << 20;
constexpr std::size_t ReadSize = std::size_t(1) << 20;

void SayError(const std::string &text)
{
    std::fprintf(stderr, "huespin: %s\n", text.c_str());
}

// A growing block of bytes, without the zeroing that a std::string's resize does.
class Block {
public:
    char *Data() { return data_.get(); }
    std::size_t Capacity() const { return capacity_; }
    // Keeps the first keep bytes.
    void Grow(std::size_t capacity, std::size_t keep)
    {
        if (capacity <= capacity_)
            return;
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (keep)
            std::memcpy(grown.get(), data_.get(), keep);
        data_ = std::move(grown);
        capacity_ = capacity;
    }

private:
    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = 0;
};

// Standard output, written in large blocks of whole lines. A reader that
// has gone (a closed pipe) stops the output quietly; any other failure is
// said once.
class Output {
public:
    Output() { block_.Grow(FlushSize * 2, 0); }

    bool Stopped() const { return closed_ || failed_; }
    bool Failed() const { return failed_; }

    // Writes one line's markup whole, through the writer.
    void Put(const GradientLineWriter &writer)
    {
        const std::size_t need = writer.MaxLineSize();
        if (size_ + need > block_.Capacity()) {
            Flush();
            block_.Grow(need, 0);
        }
        if (Stopped())
            return;
        size_ = std::size_t(writer.WriteLine(block_.Data() + size_) - block_.Data());
        if (size_ >= FlushSize)
            Flush();
    }

    void Flush()
    {
        for (std::size_t done = 0; done < size_ && !Stopped();) {
            const ssize_t written = ::write(STDOUT_FILENO, block_.Data() + done, size_ - done);
            if (written >= 0) {
                done += std::size_t(written);
            } else if (errno == EPIPE) {
                closed_ = true;
            } else if (errno != EINTR) {
                failed_ = true;
                SayError(std::string("cannot write the output: ") + std::strerror(errno));
            }
        }
        size_ = 0;
    }

private:
    Block block_;
    std::size_t size_ = 0;
    bool closed_ = false;
    bool failed_ = false;
};

// Prints one line, or says why it cannot; false when it was left out.
bool PrintLine(GradientLineWriter &writer, Output &output, std::string_view text, const std::string &name)
{
    const GradientLineWriter::Split split = writer.SplitLine(text);
    if (split == GradientLineWriter::Split::Done) {
        output.Put(writer);
        return true;
    }
    output.Flush(); // the message after the lines before it
    SayError(name + (split == GradientLineWriter::Split::NotUtf8 ? " is not valid UTF-8" : " is 2 GiB or longer")
             + "; it is not printed");
    return false;
}

// Each line of standard input: a line ends at LF, a CR before it is no part
// of the text, and a last line without LF is still a line.
int PrintInputLines(GradientLineWriter &writer, Output &output)
{
    int status = 0;
    Block input;
    input.Grow(ReadSize, 0);
    std::size_t start = 0, end = 0, scanned = 0, number = 0;
    const auto print = [&](std::size_t from, std::size_t to) {
        if (to > from && input.Data()[to - 1] == '\r')
            --to;
        if (!PrintLine(writer, output, std::string_view(input.Data() + from, to - from),
                       "line " + std::to_string(++number)))
            status = 1;
    };
    for (bool atEnd = false; !output.Stopped();) {
        const void *found = std::memchr(input.Data() + scanned, '\n', end - scanned);
        if (found) {
            const auto lineEnd = std::size_t(static_cast<const char *>(found) - input.Data());
            print(start, lineEnd);
            start = scanned = lineEnd + 1;
            continue;
        }
        scanned = end;
        if (atEnd) {
            if (start < end)
                print(start, end);
            break;
        }
        // Keep the line begun, at the block's start, with room to read after it.
        if (start > 0) {
            std::memmove(input.Data(), input.Data() + start, end - start);
            end -= start;
            scanned -= start;
            start = 0;
        }
        if (input.Capacity() - end < ReadSize / 2)
            input.Grow(input.Capacity() * 2, end);
        const ssize_t count = ::read(STDIN_FILENO, input.Data() + end, input.Capacity() - end);
        if (count > 0) {
            end += std::size_t(count);
        } else if (count == 0) {
            atEnd = true;
        } else if (errno != EINTR) {
            SayError(std::string("cannot read the standard input: ") + std::strerror(errno));
            status = 1;
            atEnd = true;
            end = start; // a line cut by the failure is not printed
        }
    }
    return status;
}

// The colour chosen in the window, read from its settings without writing
// anything; none, with why, where none was chosen or it cannot be read.
std::optional<ColorValue> ReadChosenColor(const char *name, const char *which, const char *option, std::string &error)
{
    RegEditor reg;
    reg.SetHKey(LocalMachine);
    reg.SubKey("SOFTWARE\\Huespin\\");
    reg.ValName(name);
    const std::optional<std::string> stored = reg.ReadValue();
    const std::optional<std::int32_t> color = stored ? SettingsText::ReadColor(stored) : std::nullopt;
    if (color && *color != NoColor)
        return ColorValue(*color);
    const std::string give = std::string("; give ") + option + " COLOUR";
    if (reg.Error())
        error = "the settings in " + SettingsBatch::Where() + " cannot be read" + give;
    else if (stored && !color)
        error = std::string("the stored ") + which + " colour '" + *stored + "' cannot be read" + give;
    else
        error = std::string("no ") + which + " colour was chosen in the window" + give;
    return std::nullopt;
}

} // namespace

int PrintMarkup(const CommandLine &line, int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (!QByteArrayView(argv[i]).isValidUtf8()) {
            SayError("argument " + std::to_string(i) + " is not valid UTF-8");
            return 2;
        }
    std::string error;
    const std::optional<ColorValue> from = line.from ? line.from : ReadChosenColor("c1", "first", "--from", error);
    const std::optional<ColorValue> to =
        line.to || !error.empty() ? line.to : ReadChosenColor("c2", "last", "--to", error);
    if (!from || !to) {
        SayError(error);
        return 2;
    }
    std::vector<ColorValue> stops{*from};
    stops.insert(stops.end(), line.via.begin(), line.via.end());
    stops.push_back(*to);
    GradientLineWriter writer(line.format, std::move(stops));

    // A closed pipe is then an error of write(), which ends the output quietly.
    std::signal(SIGPIPE, SIG_IGN);
    Output output;
    int status = 0;
    if (line.readStandardInput) {
        status = PrintInputLines(writer, output);
    } else {
        const QByteArray text = line.text.join(u' ').toUtf8();
        if (!PrintLine(writer, output, std::string_view(text.constData(), std::size_t(text.size())), "the text"))
            status = 1;
    }
    output.Flush();
    return output.Failed() ? 1 : status;
}
