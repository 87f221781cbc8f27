// Reading one clipboard change in a single opening of the clipboard, so that
// the sequence number, the text and the image all belong to the same change.
#include "store/clipchange.h"

#include <stdlib.h>
#include <string.h>

#include "store/clipboard.h"

// A text that is offered but cannot be read is a failed read, never a change
// without text: taking it for one would clear the tray tip and log an image.
static bool ReadOpenClipboard(bool wantImage, ClipChange* change)
{
    change->sequence = GetClipboardSequenceNumber();
    change->confidential = Clip_IsConfidentialOpen();
    if (change->confidential)
        return true;
    size_t size = 0;
    bool failed = false;
    change->text = static_cast<char*>(Clip_CopyOpenData(CF_TEXT, &size, &failed));
    if (failed)
        return false;
    if (change->text || !wantImage)
        return true;
    change->image = Clip_CopyOpenData(CF_DIB, &change->imageSize, &failed);
    return true;
}

bool ClipChange_Read(HWND owner, bool wantImage, ClipChange* change)
{
    memset(change, 0, sizeof *change);
    if (!OpenClipboard(owner))
        return false;
    bool read = ReadOpenClipboard(wantImage, change);
    CloseClipboard();
    if (!read)
        ClipChange_Free(change);
    return read;
}

void ClipChange_Free(ClipChange* change)
{
    free(change->text);
    free(change->image);
    memset(change, 0, sizeof *change);
}
