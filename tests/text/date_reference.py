"""Formats dates with ICU (python3-icu), the independent side of the date-field tests.

Reads JSON from standard input: {"dates": [[y, m, d, hour, minute], ...],
"patterns": [[icu_pattern, locale, upper], ...]} and prints one line per date and pattern,
tab-separated: date index, pattern index, the formatted text (upper-cased when asked).
"""
import json
import sys

import icu

request = json.load(sys.stdin)
gmt = icu.TimeZone.getGMT()
gregorian = icu.GregorianCalendar(gmt)
formats = []
for pattern, locale, _ in request["patterns"]:
    f = icu.SimpleDateFormat(pattern, icu.Locale(locale))
    f.setTimeZone(gmt)
    formats.append(f)
for di, (y, m, d, hour, minute) in enumerate(request["dates"]):
    gregorian.clear()
    gregorian.set(y, m - 1, d, hour, minute, 0)
    when = gregorian.getTime()
    for pi, f in enumerate(formats):
        text = f.format(when)
        if request["patterns"][pi][2]:
            text = text.upper()
        sys.stdout.write("%d\t%d\t%s\n" % (di, pi, text))
