// The markup printed from the command line: no window, no display, nothing
// written but standard output and standard error.
#include "printmarkup.h"

#include "chosengradient.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Output is written in blocks of this size, each ending with a line but
// where one line's markup is longer than a block.
constexpr std::size_t BlockSize = std::size_t(1) << 20;
constexpr std::size_t ReadSize = std::size_t(1) << 20;
// The break iterator counts in 32 bits.
constexpr std::size_t MaxLineSize = std::size_t(INT32_MAX) - 1;

class PrintText {
    Q_DECLARE_TR_FUNCTIONS(PrintMarkup)
};

void SayError(const QString &text)
{
    std::fprintf(stderr, "huespin: %s\n", text.toUtf8().constData());
}

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The first SIGINT or SIGTERM: the output ends after the line being
// written, and then the program ends by that signal.
volatile std::sig_atomic_t stopSignal = 0;
// Where standard output, when it is a regular file, ends after its last
// whole line; -1 for any other output.
std::atomic<off_t> wholeLinesEnd{-1};
static_assert(std::atomic<off_t>::is_always_lock_free);

// Async-signal-safe: a file is never left ending inside a line.
void CutToWholeLines()
{
    const off_t end = wholeLinesEnd.load();
    if (end >= 0 && ::ftruncate(STDOUT_FILENO, end) == 0)
        ::lseek(STDOUT_FILENO, end, SEEK_SET);
}

// A second signal ends at once, the file cut back to its last whole line.
extern "C" void OnStopSignal(int signal)
{
    if (stopSignal) {
        CutToWholeLines();
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    stopSignal = signal;
}

// Without SA_RESTART, so that a read that waits for input ends at the
// signal. A signal ignored from the start (a background job's SIGINT) stays so.
void CatchStopSignals()
{
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction before {};
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

void EndBySignal()
{
    if (!stopSignal)
        return;
    ::signal(stopSignal, SIG_DFL);
    ::raise(stopSignal);
}

// Standard input's bytes, grown in place as a long line needs.
class InputBlock {
public:
    ~InputBlock() { std::free(data_); }
    char *Data() { return data_; }
    std::size_t Capacity() const { return capacity_; }
    // False when there is no memory for it.
    bool Resize(std::size_t capacity)
    {
        void *grown = std::realloc(data_, capacity);
        if (!grown)
            return false;
        data_ = static_cast<char *>(grown);
        capacity_ = capacity;
        return true;
    }

private:
    char *data_ = nullptr;
    std::size_t capacity_ = 0;
};

// Raised through the line writer when the output has stopped in a line.
struct OutputStopped {};

// Standard output, written a block at a time. A reader that has gone (a
// closed pipe) stops the output quietly; any other failure is said once,
// after a regular file is cut back to its last whole line.
class Output final : public MarkupBlock {
public:
    Output() : block_(std::make_unique_for_overwrite<char[]>(BlockSize))
    {
        at = block_.get();
        end = at + BlockSize;
        struct stat info {};
        if (::fstat(STDOUT_FILENO, &info) == 0 && S_ISREG(info.st_mode)) {
            const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
            const off_t offset = flags >= 0 && (flags & O_APPEND) ? info.st_size : ::lseek(STDOUT_FILENO, 0, SEEK_CUR);
            wholeLinesEnd = offset;
        }
    }

    bool Stopped() const { return closed_ || failed_; }
    bool Failed() const { return failed_; }

    // Writes one line's markup whole: the line goes on through as many
    // blocks as it needs.
    void Put(GradientLineWriter &writer, std::size_t width = 0)
    {
        if (Stopped())
            return;
        lineStart_ = at;
        try {
            writer.WriteLine(*this, width);
        } catch (const OutputStopped &) {
            at = block_.get();
            return;
        }
        lineStart_ = nullptr;
        if (std::size_t(at - block_.get()) >= BlockSize - BlockSize / 4)
            Flush();
    }

    char *HandOn(char *out) override
    {
        at = out;
        Write(false);
        if (Stopped())
            throw OutputStopped();
        lineStart_ = block_.get(); // the line goes on from the block's start
        return at;
    }

    void Flush() { Write(true); }

private:
    // Writes the block; wholeLines when it ends with a line end.
    void Write(bool wholeLines)
    {
        const std::size_t size = std::size_t(at - block_.get());
        at = block_.get();
        for (std::size_t done = 0; done < size && !Stopped();) {
            const ssize_t written = ::write(STDOUT_FILENO, block_.get() + done, size - done);
            if (written >= 0) {
                done += std::size_t(written);
            } else if (errno == EPIPE) {
                closed_ = true;
            } else if (errno != EINTR) {
                const int error = errno;
                failed_ = true;
                CutToWholeLines();
                SayError(PrintText::tr("cannot write the output: %1").arg(SystemError(error)));
            }
        }
        if (Stopped() || wholeLinesEnd < 0 || size == 0)
            return;
        const off_t after = ::lseek(STDOUT_FILENO, 0, SEEK_CUR);
        if (after < 0)
            return;
        if (wholeLines)
            wholeLinesEnd = after;
        else if (lineStart_ && lineStart_ != block_.get())
            wholeLinesEnd = after - off_t(block_.get() + size - lineStart_);
    }

    std::unique_ptr<char[]> block_;
    char *lineStart_ = nullptr; // where the line being written began in the block
    bool closed_ = false;
    bool failed_ = false;
};

// Prints one line, or says why it cannot; false when it was left out.
// number: the line's, counted from 1; 0 for the text of the arguments.
// Says why a line is not printed. number: the line's, counted from 1; 0
// for the text of the arguments.
void SayLeftOut(GradientLineWriter::Split split, std::size_t number)
{
    const QString name = number ? PrintText::tr("line %1").arg(number) : PrintText::tr("the text");
    SayError(split == GradientLineWriter::Split::NotUtf8
                 ? PrintText::tr("%1 is not valid UTF-8; it is not printed").arg(name)
                 : PrintText::tr("%1 is 2 GiB or longer; it is not printed").arg(name));
}

// A line of standard input as far as LF: a CR before the LF is no part of
// its text, nor is a byte-order mark at the very start of the input.
std::string_view TextOfLine(std::string_view line, bool first)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    if (first && line.starts_with("\xEF\xBB\xBF"))
        line.remove_prefix(3);
    return line;
}

bool PrintLine(GradientLineWriter &writer, Output &output, std::string_view text, std::size_t number)
{
    const GradientLineWriter::Split split = writer.CountLine(text);
    if (split == GradientLineWriter::Split::Done) {
        output.Put(writer);
        return true;
    }
    output.Flush(); // the message after the lines before it
    SayLeftOut(split, number);
    return false;
}

// Each line of standard input (TextOfLine); a last line without LF is still
// a line.
int PrintInputLines(GradientLineWriter &writer, Output &output)
{
    int status = 0;
    InputBlock input;
    if (!input.Resize(ReadSize)) {
        SayError(PrintText::tr("there is no memory to read the standard input"));
        return 1;
    }
    std::size_t start = 0, end = 0, scanned = 0, number = 0;
    bool skipping = false; // through the rest of a line left out
    const auto print = [&](std::size_t from, std::size_t to) {
        const std::string_view text = TextOfLine(std::string_view(input.Data() + from, to - from), number == 0);
        if (!PrintLine(writer, output, text, ++number))
            status = 1;
    };
    // why names the line by %1.
    const auto leaveOut = [&](const QString &why) {
        output.Flush();
        SayError(why.arg(++number));
        status = 1;
        skipping = true;
    };
    for (bool atEnd = false; !output.Stopped() && !stopSignal;) {
        const void *found = std::memchr(input.Data() + scanned, '\n', end - scanned);
        if (found) {
            const auto lineEnd = std::size_t(static_cast<const char *>(found) - input.Data());
            if (!skipping)
                print(start, lineEnd);
            skipping = false;
            start = scanned = lineEnd + 1;
            continue;
        }
        scanned = end;
        if (atEnd) {
            if (start < end && !skipping)
                print(start, end);
            break;
        }
        if (!skipping && end - start > MaxLineSize)
            leaveOut(PrintText::tr("line %1 is 2 GiB or longer; it is not printed"));
        if (skipping)
            start = end; // nothing of a line left out is kept
        // Keep the line begun, at the block's start, with room to read after it.
        if (start > 0) {
            std::memmove(input.Data(), input.Data() + start, end - start);
            end -= start;
            scanned -= start;
            start = 0;
        }
        // The room a long line took is given back after it.
        if (input.Capacity() > 4 * ReadSize && end < ReadSize)
            input.Resize(ReadSize);
        if (input.Capacity() - end < ReadSize / 2 && !input.Resize(input.Capacity() * 2)) {
            leaveOut(PrintText::tr("line %1 is too long to hold in memory; it is not printed"));
            start = scanned = end = 0;
        }
        const ssize_t count = ::read(STDIN_FILENO, input.Data() + end, input.Capacity() - end);
        if (count > 0) {
            end += std::size_t(count);
        } else if (count == 0) {
            atEnd = true;
        } else if (errno != EINTR) {
            SayError(PrintText::tr("cannot read the standard input: %1").arg(SystemError(errno)));
            status = 1;
            atEnd = true;
            end = start; // a line cut by the failure is not printed
        }
    }
    return status;
}

// --block: standard input read whole, split into lines as PrintInputLines
// does, and each line written in the colours of the first characters of
// the widest. A line left out counts for nothing.
int PrintBlock(GradientLineWriter &writer, Output &output)
{
    std::string input;
    for (char buffer[65536];;) {
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count > 0) {
            input.append(buffer, std::size_t(count));
        } else if (count == 0 || errno != EINTR) {
            if (count < 0) {
                SayError(PrintText::tr("cannot read the standard input: %1").arg(SystemError(errno)));
                return 1;
            }
            break;
        }
        if (stopSignal)
            return 0;
    }
    std::vector<std::string_view> lines;
    for (std::string_view rest(input); !rest.empty();) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        lines.push_back(TextOfLine(rest.substr(0, end), lines.empty()));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    int status = 0;
    std::size_t width = 0;
    std::vector<bool> printable(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const GradientLineWriter::Split split = writer.CountLine(lines[i]);
        printable[i] = split == GradientLineWriter::Split::Done;
        if (printable[i]) {
            width = std::max(width, writer.CharacterCount());
            continue;
        }
        status = 1;
        SayLeftOut(split, i + 1);
    }
    for (std::size_t i = 0; i < lines.size() && !output.Stopped() && !stopSignal; ++i)
        if (printable[i]) {
            writer.CountLine(lines[i]);
            output.Put(writer, width);
        }
    return status;
}

} // namespace

int PrintMarkup(const CommandLine &line, int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (!QByteArrayView(argv[i]).isValidUtf8()) {
            SayError(PrintText::tr("argument %1 is not valid UTF-8").arg(i));
            return 2;
        }
    QString error;
    const std::optional<Gradient> gradient = ChooseGradient(line, error);
    if (!gradient) {
        SayError(error);
        return 2;
    }
    GradientLineWriter writer(line.format, *gradient, line.options);

    // A closed pipe is then an error of write(), which ends the output quietly.
    std::signal(SIGPIPE, SIG_IGN);
    CatchStopSignals();
    Output output;
    int status = 0;
    if (line.readStandardInput && line.block) {
        status = PrintBlock(writer, output);
    } else if (line.readStandardInput) {
        status = PrintInputLines(writer, output);
    } else {
        const QByteArray text = line.text.join(u' ').toUtf8();
        if (!PrintLine(writer, output, std::string_view(text.constData(), std::size_t(text.size())), 0))
            status = 1;
    }
    output.Flush();
    EndBySignal();
    return output.Failed() ? 1 : status;
}
