"""The Python binding against the built module: set MOLV_WRAP_LIBRARY to the
module's path, with our bregexp.dll beside it, then run this file.

    MOLV_WRAP_LIBRARY=build/default/bin/libMOLV_Wrap.so python3 examples/python/test_molv_wrap.py
"""

import os
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from molv_wrap import MolvError, MolvWrap, Piece  # noqa: E402

molv = None


def setUpModule():
    global molv
    molv = MolvWrap()


class MatchTest(unittest.TestCase):
    def test_whole_match_and_groups_with_one_that_took_no_part(self):
        m = molv.match(r"/(\d+)-(\d+)(x)?/", "pages 12-34 and on")
        self.assertEqual((m.offset, m.length, m.text), (6, 5, "12-34"))
        self.assertEqual(m.groups, (Piece(6, 2, "12"), Piece(9, 2, "34"), None))
        self.assertEqual((m.group(0), m.group(2), m.group(3)), ("12-34", "34", None))

    def test_no_match_is_none(self):
        self.assertIsNone(molv.match(r"/\d/", "no digits here"))

    def test_texts_stay_after_later_calls(self):
        first = molv.match(r"/(b+)/", "abbc")
        molv.match(r"/(x)(y)/", "xy")
        molv.subst("s/a/zzzz/", "a")
        self.assertEqual((first.text, first.groups), ("bb", (Piece(1, 2, "bb"),)))

    def test_str_in_str_out_with_byte_positions(self):
        m = molv.match("/(ü+)ß/u", "Grüüße")
        self.assertEqual((m.offset, m.length, m.text), (2, 6, "üüß"))
        self.assertEqual(m.groups, (Piece(2, 4, "üü"),))

    def test_bytes_in_bytes_out(self):
        m = molv.match(rb"/(\w+)@(\w+)/", b"mail bob@example now")
        self.assertEqual(m.text, b"bob@example")
        self.assertEqual(m.groups, (Piece(5, 3, b"bob"), Piece(9, 7, b"example")))


class SubstTransTest(unittest.TestCase):
    def test_subst(self):
        self.assertEqual(molv.subst(r"s/(\w+) (\w+)/$2, $1/", "John Smith"), "Smith, John")
        self.assertEqual(molv.subst("s/o/0/g", b"foo boo"), b"f00 b00")

    def test_subst_without_a_match_gives_the_subject(self):
        self.assertEqual(molv.subst("s/x/y/", "abc"), "abc")

    def test_an_empty_result_is_no_failure(self):
        self.assertEqual(molv.subst("s/.*//", "abc"), "")
        self.assertEqual(molv.trans("tr/a//d", "aaa"), "")

    def test_trans(self):
        self.assertEqual(molv.trans("tr/a-z/A-Z/", "hello, world"), "HELLO, WORLD")
        self.assertEqual(molv.trans("tr/A-Za-z/N-ZA-Mn-za-m/", b"Hello"), b"Uryyb")


class SplitTest(unittest.TestCase):
    def test_split_with_and_without_a_limit(self):
        self.assertEqual(molv.split("/:/", "key:value:more"), ["key", "value", "more"])
        self.assertEqual(molv.split("/:/", "key:value:more", limit=2), ["key", "value:more"])
        self.assertEqual(molv.split("/,/", b"a,b,,", -1), [b"a", b"b", b"", b""])

    def test_split_keeps_groups_as_pieces(self):
        self.assertEqual(molv.split("/(-)|(,)/", "a-b,c"), ["a", "-", "", "b", "", ",", "c"])

    def test_no_pieces_is_an_empty_list(self):
        self.assertEqual(molv.split("/,/", ""), [])

    def test_split_pieces_give_positions(self):
        self.assertEqual(molv.split_pieces("/,/", "a,bc,def"),
                         [Piece(0, 1, "a"), Piece(2, 2, "bc"), Piece(5, 3, "def")])


class FailureTest(unittest.TestCase):
    def test_bad_patterns_raise_the_library_message(self):
        cases = ((molv.match, "m/(/", "missing closing parenthesis at offset 1"),
                 (molv.split, "/a(/", "missing closing parenthesis at offset 2"),
                 (molv.subst, "s/(/x/", "missing closing parenthesis at offset 1"),
                 (molv.trans, "tr/a-z/A-Z", "missing closing delimiter of the second part"))
        for call, pattern, message in cases:
            with self.subTest(pattern=pattern):
                with self.assertRaises(MolvError) as caught:
                    call(pattern, "abc")
                self.assertEqual(caught.exception.message, message)
                self.assertEqual(caught.exception.pattern, pattern)
                self.assertEqual(str(caught.exception), message)

    def test_bad_subject_for_the_encoding(self):
        with self.assertRaises(MolvError) as caught:
            molv.subst("s/a/b/u", b"caf\xe9")
        self.assertEqual(caught.exception.message, "invalid UTF-8 in the subject at byte 3")

    def test_a_failure_does_not_stick(self):
        with self.assertRaises(MolvError):
            molv.match("m/(/", "abc")
        self.assertIsNone(molv.match("/q/", "abc"))
        self.assertEqual(molv.subst("s/.*//", "abc"), "")

    def test_texts_the_module_cannot_take(self):
        with self.assertRaises(ValueError):
            molv.match("/a/", "a\0b")
        with self.assertRaises(TypeError):
            molv.subst("s/1/2/", 1)

    def test_a_module_that_is_not_there(self):
        with self.assertRaises(OSError):
            MolvWrap(os.path.join(os.path.dirname(molv.library), "no-such-module.so"))

    def test_a_module_without_bregexp_dll(self):
        # A copy of the module alone in a folder loads, but cannot open
        # bregexp.dll. In a fresh process: in this one the loader would hand
        # the copy the bregexp.dll already loaded.
        with tempfile.TemporaryDirectory() as folder:
            alone = os.path.join(folder, os.path.basename(molv.library))
            shutil.copyfile(molv.library, alone)
            environment = dict(os.environ, PYTHONPATH=HERE)
            environment.pop("LD_LIBRARY_PATH", None)
            run = subprocess.run(
                [sys.executable, "-B", "-c", "import molv_wrap, sys; molv_wrap.MolvWrap(sys.argv[1])", alone],
                env=environment, stdout=subprocess.PIPE, stderr=subprocess.PIPE, universal_newlines=True)
        self.assertNotEqual(run.returncode, 0)
        self.assertIn("MolvError: the module %s could not load bregexp.dll" % alone, run.stderr)


class ThreadsTest(unittest.TestCase):
    def test_threads_sharing_one_object_each_read_their_own_answers(self):
        # ctypes lets other threads run during every call, so the threads'
        # matches, walks and cuts interleave in the module.
        wrong = []

        def work(thread):
            for round in range(300):
                word = "t%dr%d" % (thread, round)
                m = molv.match(r"/(\w+)=(\d+)/", "key %s=%d;" % (word, round))
                if m is None or (m.group(1), m.group(2)) != (word, str(round)):
                    wrong.append((word, m))
                pieces = molv.split("/=/", "%s=%d" % (word, round))
                if pieces != [word, str(round)]:
                    wrong.append((word, pieces))

        threads = [threading.Thread(target=work, args=(thread,)) for thread in range(4)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        self.assertEqual(wrong, [])


class VersionTest(unittest.TestCase):
    def test_versions(self):
        self.assertTrue(molv.version().startswith("bregexp.dll "), molv.version())
        self.assertRegex(molv.module_version(), r"^\d+\.\d+$")


if __name__ == "__main__":
    unittest.main()
