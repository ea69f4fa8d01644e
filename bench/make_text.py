"""Writes SIZE bytes of text lines to standard output: mixed scripts, or
ASCII alone with --ascii. The same bytes every run."""
import random
import sys

MIXED = ["Huespin ", "colour ", "é", "e\u0301", "日本語", "Ж", "Ωμέγα ", "\U0001F44D\U0001F3FD", "\U0001F1E9\U0001F1EA",
         "مرحبا ", "नमस्ते ", "ภาษาไทย ", "한국어 ", "<&> "]
ASCII = ["Huespin ", "colour ", "gradient ", "text ", "<&> ", "1234 "]

size = int(sys.argv[1])
pieces = ASCII if "--ascii" in sys.argv else MIXED
rng = random.Random(1)
out, total, line = [], 0, ""
while total < size:
    line += rng.choice(pieces)
    if len(line) >= 72:
        data = (line + "\n").encode()
        out.append(data)
        total += len(data)
        line = ""
sys.stdout.buffer.write(b"".join(out)[:size])
