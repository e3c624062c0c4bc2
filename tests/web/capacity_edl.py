"""Avid lists of an exact size in characters, for the capacity tests and benchmarks of the page."""


def capacity_edl(characters):
    """An Avid list of exactly this many characters (CR LF line ends, ASCII only): events with
    music clip names, filled up with a comment line."""
    head = "TITLE: KAPAZITAET\r\nFCM: NON-DROP FRAME\r\n"
    parts, size, event = [head], len(head), 0
    while True:
        event += 1
        seconds = event % 80000
        tc_in = "%02d:%02d:%02d:00" % (seconds // 3600 % 24, seconds // 60 % 60, seconds % 60)
        tc_out = "%02d:%02d:%02d:12" % (seconds // 3600 % 24, seconds // 60 % 60, seconds % 60)
        block = ("%06d  AX       AA/V  C        %s %s %s %s\r\n"
                 "* FROM CLIP NAME:  TITEL %d.WAV\r\n" % (event % 1000000, tc_in, tc_out,
                                                         tc_in, tc_out, event))
        if size + len(block) + 4 > characters:
            break
        parts.append(block)
        size += len(block)
    rest = characters - size
    parts.append("*" + "X" * (rest - 3) + "\r\n")
    text = "".join(parts)
    assert len(text) == characters
    return text.encode("ascii")
