# Runs orveline-report as a user would and checks exit status, output and the
# CSV bytes. Messages are checked where the terminal is UTF-8 and no emulator
# stands between.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(fail what)
  message(SEND_ERROR "FAILED: ${what}")
endfunction()

# The rows of a list file, CR LF ends taken off (file(STRINGS) would split
# at Shift-JIS bytes).
function(read_rows path var)
  file(READ "${path}" text)
  string(REPLACE "\r" "" text "${text}")
  string(REGEX REPLACE "\n$" "" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

function(run_tool)
  execute_process(COMMAND ${EMULATOR} "${TOOL}" ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(rc "${rc}" PARENT_SCOPE)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# The worked example: exactly the golden bytes, silent success.
run_tool("${TESTDATA}/worked_example.dxf" "${WORK}/worked.csv")
if(NOT (rc EQUAL 0))
  fail("worked example exits 0 (got ${rc}: ${err})")
endif()
# (Under an emulator its own messages may reach standard error.)
if(CHECK_MESSAGES AND NOT ("${out}${err}" STREQUAL ""))
  fail("worked example prints nothing (got '${out}${err}')")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/worked.csv" "${TESTDATA}/worked_example.csv"
  RESULT_VARIABLE same)
if(NOT (same EQUAL 0))
  fail("worked example CSV equals the golden file")
endif()

# The bundled sample drawing gives its reviewed list.
run_tool("${TESTDATA}/../samples/sample.dxf" "${WORK}/sample.csv")
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/sample.csv" "${TESTDATA}/sample.csv"
  RESULT_VARIABLE same)
if(NOT (rc EQUAL 0 AND same EQUAL 0))
  fail("sample drawing CSV equals testdata/sample.csv (exit ${rc})")
endif()

# A missing drawing: an error, and no CSV file.
run_tool("${WORK}/missing.dxf" "${WORK}/missing.csv")
if(NOT (rc EQUAL 1))
  fail("missing drawing exits 1 (got ${rc})")
endif()
if(NOT (NOT EXISTS "${WORK}/missing.csv"))
  fail("missing drawing creates no CSV")
endif()
if(CHECK_MESSAGES AND NOT (err MATCHES "missing.dxf: ファイルが見つかりません"))
  fail("missing drawing message (got '${err}')")
endif()

# A CSV that cannot be created.
run_tool("${TESTDATA}/worked_example.dxf" "${WORK}/no-such-folder/out.csv")
if(NOT (rc EQUAL 1))
  fail("uncreatable CSV exits 1 (got ${rc})")
endif()
if(CHECK_MESSAGES AND NOT (err MATCHES "out.csv: ファイルを作成できません"))
  fail("uncreatable CSV message (got '${err}')")
endif()

# A conversion error names the bad value and its line; no list is written.
file(WRITE "${WORK}/bad.dxf" "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n1,5\n")
run_tool("${WORK}/bad.dxf" "${WORK}/bad.csv")
if(NOT (rc EQUAL 1))
  fail("conversion error exits 1 (got ${rc})")
endif()
if(CHECK_MESSAGES AND NOT (err MATCHES "bad.dxf: '1,5' は浮動小数点数ではありません（8 行目）\n$"))
  fail("conversion error message (got '${err}')")
endif()
if(EXISTS "${WORK}/bad.csv")
  fail("conversion error leaves no CSV")
endif()

# Nothing lost: the drawing itself as the report (by its own name, or through
# a link), a folder as the drawing, a binary drawing. Each is refused before
# any file is touched.
file(WRITE "${WORK}/same.dxf" "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\nA\n11\n1\n0\nENDSEC\n0\nEOF\n")
file(READ "${WORK}/same.dxf" drawing)
set(same_cases "${WORK}/same.dxf")
if(CHECK_MESSAGES)
  file(CREATE_LINK "${WORK}/same.dxf" "${WORK}/link.csv" SYMBOLIC)
  list(APPEND same_cases "${WORK}/link.csv")
endif()
# By its own name it is refused as a drawing's name (exit 2); through a
# link, as the drawing's own file.
foreach(report IN LISTS same_cases)
  run_tool("${WORK}/same.dxf" "${report}")
  file(READ "${WORK}/same.dxf" after)
  if(report MATCHES "dxf$")
    set(expected_rc 2)
    set(expected_message "${report}: 図面の名前です。集計表で図面を置き換えてしまうため書き出しません\n$")
  else()
    set(expected_rc 1)
    set(expected_message "${report}: 図面と同じファイルです\n$")
  endif()
  if(NOT (rc EQUAL expected_rc AND after STREQUAL drawing))
    fail("report ${report} that is the drawing: exit ${expected_rc}, drawing intact (got ${rc})")
  endif()
  if(CHECK_MESSAGES AND NOT (err MATCHES "${expected_message}"))
    fail("report that is the drawing: message (got '${err}')")
  endif()
endforeach()

file(MAKE_DIRECTORY "${WORK}/folder.dxf")
file(WRITE "${WORK}/kept.csv" "earlier list")
run_tool("${WORK}/folder.dxf" "${WORK}/kept.csv")
file(READ "${WORK}/kept.csv" kept)
if(NOT (rc EQUAL 1 AND kept STREQUAL "earlier list"))
  fail("folder as the drawing: exit 1, report untouched (got ${rc}, '${kept}')")
endif()

file(WRITE "${WORK}/binary.dxf" "AutoCAD Binary DXF\r\n")
run_tool("${WORK}/binary.dxf" "${WORK}/kept.csv")
file(READ "${WORK}/kept.csv" kept)
if(NOT (rc EQUAL 1 AND kept STREQUAL "earlier list"))
  fail("binary drawing: exit 1, report untouched (got ${rc}, '${kept}')")
endif()
if(CHECK_MESSAGES AND NOT (err MATCHES "binary.dxf: バイナリ DXF です。読み込めるのはアスキー DXF だけです\n$"))
  fail("binary drawing: message (got '${err}')")
endif()

# A drawing of version AC1021 or later stores UTF-8: its layer 壁 is listed
# in Shift-JIS, and the linetype Café, whose é Shift-JIS lacks, with \U+00E9.
file(WRITE "${WORK}/utf8.dxf" "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1027\n9\n$DWGCODEPAGE\n3\nANSI_1252\n"
  "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n壁\n6\nCafé\n10\n0\n20\n0\n11\n3\n21\n4\n0\nENDSEC\n0\nEOF\n")
run_tool("${WORK}/utf8.dxf" "${WORK}/utf8.csv")
file(READ "${WORK}/utf8.csv" csv HEX)
# 壁,     5.000,1,線,,,Caf\U+00E9
if(NOT (rc EQUAL 0 AND csv STREQUAL "95c72c2020202020352e3030302c312c90fc2c2c2c4361665c552b303045390d0a"))
  fail("UTF-8 drawing listed in Shift-JIS (exit ${rc}, CSV ${csv})")
endif()

# Exact lengths and the summary: a block of two lines referred to once, a
# closed square with a half-circle side, a text and a reference to a block
# that is not there.
file(WRITE "${WORK}/exact.dxf" "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n10\n0\n20\n0\n"
  "0\nLINE\n8\n0\n10\n0\n20\n0\n11\n3\n21\n4\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n6\n21\n8\n0\nENDBLK\n0\nENDSEC\n"
  "0\nSECTION\n2\nENTITIES\n0\nINSERT\n8\nA\n2\nB\n10\n1\n20\n1\n0\nTEXT\n8\n0\n1\nx\n0\nINSERT\n2\nC\n"
  "0\nLWPOLYLINE\n8\n0\n70\n1\n10\n0\n20\n0\n10\n2\n20\n0\n42\n1\n10\n2\n20\n2\n10\n0\n20\n2\n0\nENDSEC\n0\nEOF\n")
run_tool(--exact --summary "${WORK}/exact.dxf" "${WORK}/exact.csv")
file(READ "${WORK}/exact.csv" csv HEX)
# A,     5.000,1,線,,, / A,    10.000,1,線,,, / 0,     9.142,1,多角線,,,  (2 + 2 + 2 + pi)
string(CONCAT expected "412c2020202020352e3030302c312c90fc2c2c2c0d0a412c202020203130"
  "2e3030302c312c90fc2c2c2c0d0a302c2020202020392e3134322c312c91bd8a7090fc2c2c2c0d0a")
if(NOT (rc EQUAL 0 AND csv STREQUAL expected))
  fail("exact lengths of a drawing with a block (exit ${rc}, CSV ${csv})")
endif()
# The summary: the rows written, then each kind in the list's words and in
# a fixed order; the polylines are measured as drawn, so nothing is short.
if(CHECK_MESSAGES AND NOT (err STREQUAL
    "集計した行: 3\n線: 集計 2 集計外 0\n多角線: 集計 1 集計外 0\n文字: 集計 0 集計外 1\nブロック参照: 集計 1 集計外 1\n合計: 集計 4 集計外 2\n"))
  fail("summary with exact lengths (got '${err}')")
endif()
# Without exact lengths the block is not opened, and the summary says so; the
# rounded closed square is measured by its chords and without its closing
# edge, and the summary says that too.
run_tool(--summary "${WORK}/exact.dxf" "${WORK}/plain.csv")
if(CHECK_MESSAGES AND NOT (err STREQUAL
    "集計した行: 1\n多角線: 集計 1 集計外 0\n文字: 集計 0 集計外 1\nブロック参照: 集計 0 集計外 2\n円弧を弦で測った多角線: 1\n閉じ辺を含めていない多角線: 1\n合計: 集計 1 集計外 3\n"))
  fail("summary of the plain list (got '${err}')")
endif()
# Several drawings: each named, with its own counts.
run_tool(--summary "${WORK}/exact.dxf" "${TESTDATA}/worked_example.dxf" "${WORK}/two.csv")
if(CHECK_MESSAGES AND NOT (rc EQUAL 0 AND err STREQUAL
    "図面: exact.dxf\n集計した行: 1\n多角線: 集計 1 集計外 0\n文字: 集計 0 集計外 1\nブロック参照: 集計 0 集計外 2\n円弧を弦で測った多角線: 1\n閉じ辺を含めていない多角線: 1\n合計: 集計 1 集計外 3\n図面: worked_example.dxf\n集計した行: 6\n線: 集計 5 集計外 0\n円: 集計 2 集計外 0\n円弧: 集計 1 集計外 0\n多角線: 集計 1 集計外 0\n閉じ辺を含めていない多角線: 1\n合計: 集計 9 集計外 0\n"))
  fail("summary of several drawings (got '${err}')")
endif()

# The stand-in's export of a selection keeps the block definitions: with
# exact lengths the two references to the door block (a line of 900 and a
# quarter circle of radius 900, on layer 0) add their contents on the
# references' layers 内壁 and 外壁.
run_tool(--exact "${TESTDATA}/sample_selection.dxf" "${WORK}/selection.csv")
file(READ "${WORK}/selection.csv" csv HEX)
foreach(row 93e095c72c2020203930302e3030302c312c90fc2c2c2c0d0a 8a4f95c72c2020203930302e3030302c312c90fc2c2c2c0d0a
    93e095c72c2020313431332e3731372c312c897e8cca2c2c2c0d0a 8a4f95c72c2020313431332e3731372c312c897e8cca2c2c2c0d0a)
  string(FIND "${csv}" "${row}" at)
  if(at EQUAL -1 OR NOT (rc EQUAL 0))
    fail("exact list of the stand-in's selection holds the door block's row ${row} (exit ${rc})")
  endif()
endforeach()

run_tool(--version)
if(NOT (rc EQUAL 0))
  fail("--version exits 0")
endif()
if(NOT (out MATCHES "^orveline-report [0-9]+\\.[0-9]+"))
  fail("--version prints the version (got '${out}')")
endif()
# --help and -h print the usage, in Japanese like every other message.
run_tool(--help)
set(help "${out}")
if(NOT (rc EQUAL 0 AND out MATCHES "orveline-report \\[[^\n]*\\] [^\n]*\\.dxf\\.\\.\\. [^\n]*\\.csv\n"))
  fail("--help prints the usage (got ${rc}: '${out}')")
endif()
if(CHECK_MESSAGES AND NOT (out MATCHES "^使い方: orveline-report \\[オプション\\] 図面\\.dxf\\.\\.\\. 一覧\\.csv\n"))
  fail("--help prints the usage in Japanese (got '${out}')")
endif()
run_tool(-h)
if(NOT (rc EQUAL 0 AND out STREQUAL help))
  fail("-h prints what --help prints (got ${rc}: '${out}')")
endif()
run_tool(only-one-argument)
if(NOT (rc EQUAL 2))
  fail("wrong arguments exit 2 (got ${rc})")
endif()
# Nothing may follow --version.
run_tool(--version extra)
if(NOT (rc EQUAL 2 AND out STREQUAL ""))
  fail("an argument after --version exits 2 (got ${rc}: '${out}')")
endif()

# --totals: an eighth field with the summed length; on the worked example
# three lines of 5 give 15.000 and two circles of radius 1 give 4π.
run_tool(--totals "${TESTDATA}/worked_example.dxf" "${WORK}/totals.csv")
read_rows("${WORK}/totals.csv" rows)
list(GET rows 2 third)
list(GET rows 3 fourth)
if(NOT (rc EQUAL 0 AND third MATCHES ",     5\\.000,3,.*,    15\\.000$" AND fourth MATCHES ",    12\\.566$"))
  fail("--totals third and fourth rows (exit ${rc}: '${third}' '${fourth}')")
endif()

# --unit: a drawing in millimetres ($INSUNITS 4) listed in metres, its line
# of 12,000 as 12.000: "0,    12.000,1,線,,,".
file(WRITE "${WORK}/mm.dxf" "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n     4\n0\nENDSEC\n"
  "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n12000\n21\n0\n0\nENDSEC\n0\nEOF\n")
set(metres_row "302c2020202031322e3030302c312c90fc2c2c2c0d0a")
run_tool(--unit m "${WORK}/mm.dxf" "${WORK}/metres.csv")
file(READ "${WORK}/metres.csv" csv HEX)
if(NOT (rc EQUAL 0 AND csv STREQUAL metres_row))
  fail("--unit m on a drawing in millimetres (exit ${rc}, CSV ${csv})")
endif()
# A drawing that states no unit cannot be converted: exit 1, the drawing
# named, an existing report untouched and none created; given its unit, it is.
file(WRITE "${WORK}/unitless.dxf" "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n12000\n21\n0\n0\nENDSEC\n0\nEOF\n")
file(WRITE "${WORK}/units-kept.csv" "the old list")
foreach(report units-kept.csv units-new.csv)
  run_tool(--unit=m "${WORK}/unitless.dxf" "${WORK}/${report}")
  if(NOT (rc EQUAL 1))
    fail("--unit on a drawing without a unit exits 1 (got ${rc})")
  endif()
  if(CHECK_MESSAGES AND NOT (err MATCHES
      "unitless.dxf: 単位がわかりません（\\$INSUNITS に長さの単位がありません）。--drawing-unit で図面の単位を指定してください\n$"))
    fail("--unit on a drawing without a unit: message (got '${err}')")
  endif()
endforeach()
file(READ "${WORK}/units-kept.csv" kept)
if(NOT (kept STREQUAL "the old list") OR EXISTS "${WORK}/units-new.csv")
  fail("--unit on a drawing without a unit: report untouched ('${kept}'), none created")
endif()
run_tool(--unit m --drawing-unit mm "${WORK}/unitless.dxf" "${WORK}/units-kept.csv")
file(READ "${WORK}/units-kept.csv" csv HEX)
if(NOT (rc EQUAL 0 AND csv STREQUAL metres_row))
  fail("--drawing-unit mm gives the unit of a drawing without one (exit ${rc}, CSV ${csv})")
endif()

# A folder stands for the .dxf files directly in it, in byte order of their
# names; each row starts with the drawing's name.
file(MAKE_DIRECTORY "${WORK}/set/sub")
file(COPY_FILE "${TESTDATA}/worked_example.dxf" "${WORK}/set/b.DXF")
file(COPY_FILE "${TESTDATA}/sample_selection.dxf" "${WORK}/set/a.dxf")
file(COPY_FILE "${TESTDATA}/worked_example.dxf" "${WORK}/set/sub/c.dxf")
file(WRITE "${WORK}/set/notes.txt" "not a drawing")
run_tool("${WORK}/set" "${WORK}/set.csv")
read_rows("${WORK}/set.csv" rows)
list(TRANSFORM rows REPLACE ",.*" "" OUTPUT_VARIABLE names)
list(REMOVE_DUPLICATES names)
list(LENGTH rows count)
if(NOT (rc EQUAL 0 AND names STREQUAL "a.dxf;b.DXF" AND count EQUAL 27))
  fail("folder: drawings a.dxf then b.DXF, 21 + 6 rows (exit ${rc}, ${names}, ${count} rows)")
endif()
# The same drawings named one by one, the other way round.
run_tool("${WORK}/set/b.DXF" "${WORK}/set/a.dxf" "${WORK}/two.csv")
read_rows("${WORK}/two.csv" rows)
list(GET rows 0 first)
if(NOT (rc EQUAL 0 AND first MATCHES "^b\\.DXF,0,     5\\.000,1,"))
  fail("drawings in the order given (got '${first}')")
endif()

# A bad drawing among many names itself, and no partial list stays.
file(WRITE "${WORK}/set2/bad.dxf" "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n1,5\n")
run_tool("${TESTDATA}/worked_example.dxf" "${WORK}/set2/bad.dxf" "${WORK}/partial.csv")
if(NOT (rc EQUAL 1) OR EXISTS "${WORK}/partial.csv")
  fail("bad drawing among many exits 1 and leaves no list (got ${rc})")
endif()
if(CHECK_MESSAGES AND NOT (err MATCHES "bad.dxf: '1,5' は浮動小数点数ではありません"))
  fail("bad drawing among many is named (got '${err}')")
endif()
# A folder without drawings: an error before the report is touched.
file(MAKE_DIRECTORY "${WORK}/none")
file(WRITE "${WORK}/untouched.csv" "old")
run_tool("${WORK}/none" "${WORK}/untouched.csv")
file(READ "${WORK}/untouched.csv" kept)
if(NOT (rc EQUAL 1 AND kept STREQUAL "old"))
  fail("folder without drawings exits 1, report untouched (got ${rc})")
endif()
if(CHECK_MESSAGES AND NOT (err MATCHES "none: DXF ファイルがありません"))
  fail("folder without drawings message (got '${err}')")
endif()

# --diff: the same drawing twice gives an empty file; the worked example
# against one of its lines alone gives every other quantity as vanished.
run_tool(--diff "${TESTDATA}/worked_example.dxf" "${TESTDATA}/worked_example.dxf" "${WORK}/same.csv")
file(SIZE "${WORK}/same.csv" size)
if(NOT (rc EQUAL 0 AND size EQUAL 0))
  fail("--diff of equal drawings is empty (exit ${rc}, ${size} bytes)")
endif()
file(WRITE "${WORK}/one.dxf" "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n62\n1\n6\nHIDDEN\n10\n0\n20\n0\n11\n5\n21\n0\n0\nLINE\n8\n0\n62\n1\n6\nHIDDEN\n10\n1\n20\n0\n11\n6\n21\n0\n0\nENDSEC\n0\nEOF\n")
run_tool(--diff "${TESTDATA}/worked_example.dxf" "${WORK}/one.dxf" "${WORK}/diff.csv")
read_rows("${WORK}/diff.csv" rows)
list(LENGTH rows count)
list(GET rows 0 first)
if(NOT (rc EQUAL 0 AND count EQUAL 6 AND first MATCHES "^0,     5\\.000,.*,1,HIDDEN,1,2,\\+1$"))
  fail("--diff rows (exit ${rc}, ${count} rows, first '${first}')")
endif()

# Wrong arguments and wrong combinations exit 2, touch nothing and say why,
# then where the usage is: arguments, then "|", then the reason.
set(try_help "使い方は orveline-report --help で表示されます。")
foreach(wrong IN ITEMS
    "--header;--json;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|--header と --json は一緒に使えません（JSON には見出しの行がありません）"
    "--diff;--totals;${TESTDATA}/worked_example.dxf;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|--totals と --diff は一緒に使えません（変更の一覧には合計がありません）"
    "--diff;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|--diff には 2 つの図面と一覧を渡します: --diff 旧.dxf 新.dxf 一覧.csv"
    "--diff;${WORK}/set;${WORK}/set;${WORK}/combo.csv|--diff で比べられるのは 2 つの図面で、フォルダーは比べられません"
    "--frobnicate;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|不明なオプションです: --frobnicate"
    "-x;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|不明なオプションです: -x"
    "${WORK}/combo.csv|図面と一覧を渡してください: 図面.dxf 一覧.csv"
    "--version;--help|--version のあとには何も渡せません: --help"
    "--attributes;TAG;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|--attributes は --blocks と一緒に使います"
    "--blocks;--attributes;A,,B;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|--attributes には属性タグをカンマで区切って渡します: --attributes TAG[,TAG…]"
    "--unit;km;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|--unit には単位を mm、cm、m、in、ft のどれかで渡します: --unit m"
    "--unit=M;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|--unit には単位を mm、cm、m、in、ft のどれかで渡します: --unit m"
    "--unit;m;--drawing-unit;yd;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|--drawing-unit には図面の単位を mm、cm、m、in、ft のどれかで渡します: --drawing-unit mm"
    "--drawing-unit;mm;${TESTDATA}/worked_example.dxf;${WORK}/combo.csv|--drawing-unit は --unit と一緒に使います")
  string(FIND "${wrong}" "|" bar)
  string(SUBSTRING "${wrong}" 0 ${bar} args)
  math(EXPR bar "${bar} + 1")
  string(SUBSTRING "${wrong}" ${bar} -1 reason)
  run_tool(${args})
  if(NOT (rc EQUAL 2) OR EXISTS "${WORK}/combo.csv")
    fail("wrong arguments '${args}' exit 2 (got ${rc})")
  endif()
  if(CHECK_MESSAGES AND NOT (err STREQUAL "orveline-report: ${reason}\n${try_help}\n"))
    fail("wrong arguments '${args}' say why (got '${err}')")
  endif()
endforeach()

# --help has a line for each option.
foreach(option --exact --summary --totals --header --utf8 --json --diff --blocks --attributes --unit --drawing-unit
    "-h, --help" --version)
  if(NOT (help MATCHES "\n  ${option} +[^ \n]"))
    fail("--help lists ${option}")
  endif()
endforeach()

# Nothing the user had is destroyed by a failed run.
file(READ "${TESTDATA}/worked_example.dxf" worked_drawing)
file(READ "${WORK}/worked.csv" worked_list HEX)

# The report's name forgotten: the second drawing is not taken for the
# report, whatever the case of its extension.
foreach(name second.dxf SECOND.DWG)
  file(WRITE "${WORK}/${name}" "${worked_drawing}")
  run_tool("${TESTDATA}/worked_example.dxf" "${WORK}/${name}")
  file(READ "${WORK}/${name}" after)
  if(NOT (rc EQUAL 2 AND after STREQUAL worked_drawing))
    fail("a drawing as the report (${name}): exit 2, the drawing intact (got ${rc})")
  endif()
  if(CHECK_MESSAGES AND NOT (err MATCHES "${name}: 図面の名前です。集計表で図面を置き換えてしまうため書き出しません\n$"))
    fail("a drawing as the report: message (got '${err}')")
  endif()
endforeach()

# "-" is the standard output, the list's bytes unchanged.
execute_process(COMMAND ${EMULATOR} "${TOOL}" "${TESTDATA}/worked_example.dxf" -
  RESULT_VARIABLE rc OUTPUT_FILE "${WORK}/stdout.csv")
file(READ "${WORK}/stdout.csv" out_hex HEX)
if(NOT (rc EQUAL 0 AND out_hex STREQUAL worked_list))
  fail("the list on standard output (exit ${rc})")
endif()

# A bad drawing alone, among several, or in a difference leaves the old
# report byte for byte, and no other file beside it.
file(WRITE "${WORK}/kept/old.csv" "the old list")
set(bad "${WORK}/bad.dxf")
foreach(arguments "${bad}" "${TESTDATA}/worked_example.dxf;${bad}" "--diff;${TESTDATA}/worked_example.dxf;${bad}")
  run_tool(${arguments} "${WORK}/kept/old.csv")
  file(READ "${WORK}/kept/old.csv" kept)
  file(GLOB beside "${WORK}/kept/*")
  list(LENGTH beside files)
  if(NOT (rc EQUAL 1 AND kept STREQUAL "the old list" AND files EQUAL 1))
    fail("bad drawing (${arguments}): exit 1, old report kept alone (got ${rc}, '${kept}', ${files} files)")
  endif()
endforeach()

# A drawing cut inside its ENTITIES section (70 % of the sample) is no list.
file(READ "${TESTDATA}/../samples/sample.dxf" sample)
string(LENGTH "${sample}" sample_length)
math(EXPR cut_length "${sample_length} * 7 / 10")
string(SUBSTRING "${sample}" 0 ${cut_length} cut)
file(WRITE "${WORK}/cut.dxf" "${cut}")
run_tool("${WORK}/cut.dxf" "${WORK}/kept/old.csv")
file(READ "${WORK}/kept/old.csv" kept)
if(NOT (rc EQUAL 1 AND kept STREQUAL "the old list"))
  fail("cut drawing: exit 1, old report kept (got ${rc}, '${kept}')")
endif()
if(CHECK_MESSAGES AND NOT (err MATCHES "cut.dxf: 途中で切れています（ENTITIES セクションの終わりがありません）\n$"))
  fail("cut drawing: message (got '${err}')")
endif()

if(CMAKE_HOST_UNIX AND NOT EMULATOR)
  # A pipe as the drawing is refused at once, not waited on.
  execute_process(COMMAND mkfifo "${WORK}/pipe.dxf" RESULT_VARIABLE made)
  if(made EQUAL 0)
    run_tool("${WORK}/pipe.dxf" "${WORK}/kept/old.csv")
    if(NOT (rc EQUAL 1 AND err MATCHES "pipe.dxf: 通常のファイルではありません\n$"))
      fail("a pipe as the drawing: exit 1 and a message (got ${rc}, '${err}')")
    endif()
  endif()
  # A write that fails part way (a file size limit, as a full disk): the old
  # report stays and no part of the new one is left.
  find_program(PRLIMIT prlimit)
  if(PRLIMIT)
    set(lines "0\nSECTION\n2\nENTITIES\n")
    foreach(i RANGE 1 3000)
      string(APPEND lines "0\nLINE\n8\nA\n10\n0\n20\n0\n11\n${i}.5\n21\n0\n")
    endforeach()
    file(WRITE "${WORK}/long.dxf" "${lines}0\nENDSEC\n0\nEOF\n")
    execute_process(COMMAND "${PRLIMIT}" --fsize=65536 "${TOOL}" "${WORK}/long.dxf" "${WORK}/kept/old.csv"
      RESULT_VARIABLE rc ERROR_VARIABLE err)
    file(READ "${WORK}/kept/old.csv" kept)
    file(GLOB beside "${WORK}/kept/*")
    list(LENGTH beside files)
    if(NOT (rc EQUAL 1 AND kept STREQUAL "the old list" AND files EQUAL 1))
      fail("a failed write: exit 1, old report kept alone (got ${rc}, '${kept}', ${files} files, '${err}')")
    endif()
  endif()
endif()
