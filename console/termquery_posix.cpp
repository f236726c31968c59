#include "termquery_posix.h"

#include <algorithm>

int EscapeDelayFrom(const char* value)
{
    if (value == nullptr || *value == '\0')
        return EscapeWaitMs;
    int ms = 0;
    for (const char* c = value; *c != '\0'; c++) {
        if (*c < '0' || *c > '9')
            return EscapeWaitMs;
        ms = std::min(ms * 10 + (*c - '0'), 60000);  // a minute is plenty
    }
    return ms;
}

void NoteQuerySent(TermKeyDecoder& decoder, std::int64_t nowMs)
{
    decoder.QueriesOutstanding++;
    decoder.ReportReady = false;
    decoder.HoldReportsUntil = nowMs + LateReportMs;
}

bool QueryAnswered(const TermKeyDecoder& decoder)
{
    return decoder.QueriesOutstanding == 0 && decoder.ReportReady;
}

std::int64_t OwedUntil(const TermKeyDecoder& decoder, std::int64_t nowMs)
{
    std::int64_t until = -1;
    if (decoder.QueriesOutstanding > 0)
        until = decoder.HoldReportsUntil;
    if (decoder.InString)  // the rest of a terminal's answer
        until = std::max(until, decoder.PendingSince + SequenceWaitMs);
    if (decoder.InPaste)
        until = std::max(until, decoder.PendingSince + PasteGapMs);
    else if (!decoder.Pending.empty())
        until = std::max(until, DecodeDeadline(decoder));
    return until > nowMs ? until : -1;
}
