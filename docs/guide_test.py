#!/usr/bin/python3
"""The guide as a reader sees it: scripts/guide_html.py renders docs/guide.md,
headless Chromium lays the page out and prints it to PDF (and takes a
picture of it, guide.png, to look at), and the text of that PDF is checked:

- the numbered steps show 1, 2, 3, ... in order, however many pictures and
  paragraphs stand between them;
- no blank stands between two Japanese characters or beside a Japanese
  punctuation mark (。、「」), except where the page itself holds one (an
  ideographic space, as in 「実　行」, a blank in a command line example, or
  between two table cells).

    guide_test.py SOURCE_DIR WORK_DIR CHROMIUM
"""
import html
import os
import re
import shutil
import subprocess
import sys

JAPANESE = "\u3000-\u30ff\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff\uff00-\uffef"
PUNCTUATION = "\u3000-\u303f\uff01-\uff0f\uff1a-\uff20\uff3b-\uff40\uff5b-\uff65"
# A blank between two Japanese characters, or beside a Japanese punctuation
# mark (。、「」（）), which has its own space.
BLANK_BETWEEN = re.compile(rf"(?<=[{JAPANESE}]) +(?=[{JAPANESE}])|(?<=[{PUNCTUATION}]) +(?=\S)|(?<=\S) +(?=[{PUNCTUATION}])")


def fail(failures, what):
    failures.append(what)
    print("FAILED:", what)


def text_of(fragment):
    return html.unescape(re.sub(r"<[^>]+>", "", fragment))


def blanks_of_the_page(page):
    """The texts in which the page itself puts a blank between Japanese
    characters: its text with ideographic spaces, its <pre> blocks, and its
    table rows with a blank between neighbouring cells."""
    body = text_of(page[page.index("<body>"):])
    pre = "\n".join(text_of(p) for p in re.findall(r"<pre\b.*?</pre>", page, re.S))
    rows = "\n".join(" ".join(text_of(c).strip() for c in re.findall(r"<t[hd]\b.*?</t[hd]>", row, re.S))
                     for row in re.findall(r"<tr\b.*?</tr>", page, re.S))
    return body, pre + "\n" + rows


def main(source, work, chromium):
    sys.path.insert(0, os.path.join(source, "scripts"))
    import guide_html

    work = os.path.abspath(work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    shutil.copytree(os.path.join(source, "docs", "images"), os.path.join(work, "images"))
    with open(os.path.join(source, "docs", "guide.md"), encoding="utf-8") as f:
        markdown_text = f.read()
    page = guide_html.render(markdown_text, "0.0.0")
    guide = os.path.join(work, "guide.html")
    with open(guide, "w", encoding="utf-8") as f:
        f.write(page)

    common = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
              "--user-data-dir=" + os.path.join(work, "profile")]
    url = "file://" + guide
    pdf = os.path.join(work, "guide.pdf")
    subprocess.run(common + ["--no-pdf-header-footer", "--print-to-pdf=" + pdf, url],
                   check=True, timeout=90, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(common + ["--window-size=1000,9000", "--screenshot=" + os.path.join(work, "guide.png"), url],
                   check=True, timeout=90, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # -raw: the text in the order it is drawn; a blank is drawn where the
    # page has one.
    text = subprocess.run(["pdftotext", "-raw", "-enc", "UTF-8", pdf, "-"], check=True, capture_output=True,
                          timeout=60).stdout.decode("utf-8").replace("\f", "\n")  # page breaks
    with open(os.path.join(work, "guide.txt"), "w", encoding="utf-8") as f:
        f.write(text)

    failures = []
    # The steps of the guide are the lines "1. ", "2. ", ... of the source.
    steps = len(re.findall(r"^\d+\. ", markdown_text, re.M))
    shown = [int(n) for n in re.findall(r"^(\d+)\. ", text, re.M)]
    if steps < 2 or shown != list(range(1, steps + 1)):
        fail(failures, f"the {steps} steps are numbered 1 to {steps} (shown: {shown})")

    body, blanks = blanks_of_the_page(page)
    for line in text.splitlines():
        for m in BLANK_BETWEEN.finditer(line):
            # Up to three characters on each side, up to the next blank.
            before = re.search(r"\S{0,3}$", line[:m.start()]).group(0)
            after = re.match(r"\S{0,3}", line[m.end():]).group(0)
            if before + "\u3000" + after in body or before + " " + after in blanks:
                continue
            if m.start() == len(before) and re.fullmatch(r"\d+\.", before):
                continue  # the blank after a step's number
            around = before + m.group(0) + after
            fail(failures, f"a blank between two Japanese characters: '{around}' in '{line}'")

    # The pictures are on the page, each shown at its own size: a cut-out no
    # wider than the text column (48em of 16 pixels less the list's indent),
    # not a whole screen shrunk until its text cannot be read.
    for name in re.findall(r"!\[[^\]]*\]\((images/[^)]+)\)", markdown_text):
        path = os.path.join(work, name)
        if f'src="{name}"' not in page or not os.path.exists(path):
            fail(failures, f"the picture {name} is on the page")
            continue
        with open(path, "rb") as f:
            header = f.read(24)  # PNG: the IHDR chunk's width at 16
        width = int.from_bytes(header[16:20], "big")
        if not header.startswith(b"\x89PNG") or width > 720:
            fail(failures, f"the picture {name} is shown at its own size (it is {width} pixels wide)")

    print(f"{steps} steps, {len(text.splitlines())} lines of rendered text; page: {work}/guide.png")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.stderr.write(__doc__)
        sys.exit(2)
    if not shutil.which(sys.argv[3]) or not shutil.which("pdftotext"):
        print("guide_test: chromium and pdftotext are needed (scripts/setup.sh installs them)")
        sys.exit(1)
    sys.exit(main(*sys.argv[1:]))
