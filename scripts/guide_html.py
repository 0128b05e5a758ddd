#!/usr/bin/python3
"""The users' guide (docs/guide.md) as one plain HTML page.

render(markdown_text) returns the page's HTML: Python-Markdown with tables,
numbered lists that keep their numbers when a picture or a paragraph comes
between two steps, and Japanese sentences that the source breaks over two
lines joined again without the blank a browser would show at the break
(where both sides are Japanese, or one side a Japanese punctuation mark).

    guide_html.py GUIDE.md OUT.html [VERSION]
"""
import re
import sys

import markdown
from markdown.postprocessors import Postprocessor

# Characters that Japanese text runs together without blanks: kana,
# ideographs, the CJK punctuation (。、「」・ and the ideographic space) and
# the full-width forms (（）：).
JAPANESE = "\u3000-\u30ff\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff\uff00-\uffef"

# The CJK punctuation and full-width forms (。、「」（）：), which carry their
# own space: a blank beside them is too much even next to a Latin letter.
PUNCTUATION = "\u3000-\u303f\uff01-\uff0f\uff1a-\uff20\uff3b-\uff40\uff5b-\uff65"

# A line break with the source's indentation around it, and inline tags on
# either side.
_TAGS = r"((?:</?(?:strong|em|b|i|a|code)\b[^>]*>)*)"
_JAPANESE_BREAK = re.compile(
    rf"(?:(?<=[{JAPANESE}]){_TAGS}[ \t]*\n[ \t]*{_TAGS}(?=[{JAPANESE}])"
    rf"|(?<=[{PUNCTUATION}]){_TAGS}[ \t]*\n[ \t]*{_TAGS}(?=[^\s<])"
    rf"|(?<=[^\s>]){_TAGS}[ \t]*\n[ \t]*{_TAGS}(?=[{PUNCTUATION}]))"
)
_PRE = re.compile(r"(<pre\b.*?</pre>)", re.S)


class _JoinJapaneseLines(Postprocessor):
    """Takes out the line breaks that the source puts inside Japanese
    sentences (between two Japanese characters, or beside a Japanese
    punctuation mark), outside preformatted blocks."""

    def run(self, text):
        parts = _PRE.split(text)
        for i in range(0, len(parts), 2):  # even parts lie outside <pre>
            parts[i] = _JAPANESE_BREAK.sub(lambda m: "".join(g for g in m.groups() if g), parts[i])
        return "".join(parts)


def body(markdown_text):
    """The guide's body as HTML."""
    md = markdown.Markdown(extensions=["tables"], output_format="html")
    # A list that a picture interrupts goes on with the number written in the
    # source (<ol start="3">) instead of starting at 1 again.
    md.parser.blockprocessors["olist"].LAZY_OL = False
    md.postprocessors.register(_JoinJapaneseLines(md), "join_japanese_lines", 5)
    return md.convert(markdown_text)


def render(markdown_text, version=""):
    """The whole page: the guide's body in a plain UTF-8 HTML page."""
    title = f"Orveline {version} 利用ガイド" if version else "Orveline 利用ガイド"
    footer = f"<p>Orveline {version}</p>\n" if version else ""
    return f"""<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<title>{title}</title>
<style>
body {{ font-family: "Meiryo", "Yu Gothic", "MS PGothic", sans-serif; max-width: 48em; margin: 2em auto;
        padding: 0 1em; line-height: 1.6; }}
table {{ border-collapse: collapse; }}
th, td {{ border: 1px solid #999; padding: 0.2em 0.6em; }}
th:first-child, td:first-child {{ min-width: 4em; }}
img {{ max-width: 100%; border: 1px solid #ccc; }}
code {{ background: #f3f3f3; white-space: pre-wrap; }}  /* a CSV row keeps its blanks */
h3 {{ font-size: 1em; margin-bottom: 0.2em; }}
</style>
</head>
<body>
{body(markdown_text)}
{footer}</body>
</html>
"""


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        page = render(f.read(), argv[3] if len(argv) == 4 else "")
    with open(argv[2], "w", encoding="utf-8", newline="\r\n") as f:
        f.write(page)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
