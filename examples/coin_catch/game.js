// Coin Catch: a coin hangs above one of five columns; the player moves the
// basket under it with the arrow keys or a click, and drops the coin with
// Space. A caught coin scores 10, a missed one costs a life. The round ends
// after the last coin or the last life; the best score is kept in the score
// table. Escape pauses the round (the mission does it), Return resumes it.
var columns = [40, 100, 160, 220, 280];
var coinColumns = [2, 4, 0];  // where each coin of a round hangs
var playing = null;           // the round's mission while it runs
var basketColumn = 2;
var coinIndex = 0;
var falling = false;
var score = 0;
var lives = 3;

function showTitle() {
  overScreen.hide();
  scoreText.hide();
  titleMenu.show();
  bestText.text = 'Best ' + (scoreTable.count > 0 ? scoreTable.scores(0) : 0);
  music.play();
  engine.log('Title shown, ' + bestText.text);
}

function startRound() {
  titleMenu.hide();
  score = 0;
  lives = 3;
  coinIndex = 0;
  playing = applet.startMission('round.qxml', null);
}

function roundStarted() {
  scoreText.show();
  showScore();
  moveBasket(2);
  hangCoin();
}

function showScore() {
  scoreText.text = 'Score ' + score + '   Lives ' + lives;
}

function hangCoin() {
  falling = false;
  coin.position.x = columns[coinColumns[coinIndex]];
  coin.position.y = 30;
  engine.log('Coin above column ' + coinColumns[coinIndex]);
}

function moveBasket(column) {
  basketColumn = Math.min(4, Math.max(0, column));
  basket.position.x = columns[basketColumn];
  applet.update();
}

function gameKey(key) {
  if (!playing || playing.pause || falling) {
    if (key == VK_RETURN && playing && playing.pause) playing.pause = false;
    return;
  }
  if (key == VK_LEFT || key == VK_RIGHT) {
    moveBasket(basketColumn + (key == VK_RIGHT ? 1 : -1));
    engine.log('Basket at column ' + basketColumn);
  } else if (key == VK_SPACE) {
    falling = true;
  }
}

function gameClick(x) {
  if (!playing || playing.pause || falling) return;
  moveBasket(Math.round((x - columns[0]) / 60));
  engine.log('Basket at column ' + basketColumn);
}

// The coin falls 240 units a second of game time, so that a slow machine
// sees the same game in fewer frames.
function gameTick(seconds) {
  if (!playing || playing.pause || !falling) return;
  coin.position.y = coin.position.y + 240 * seconds;
  applet.update();
  if (coin.position.y < basket.position.y) return;
  falling = false;
  if (coinColumns[coinIndex] == basketColumn) {
    score = score + 10;
    ding.play();
    engine.log('Caught, score ' + score);
  } else {
    lives = lives - 1;
    engine.log('Missed, ' + lives + ' lives left');
  }
  showScore();
  coinIndex = coinIndex + 1;
  if (lives == 0 || coinIndex == coinColumns.length) endRound(); else hangCoin();
}

function endRound() {
  playing.success();
  playing = null;
  scoreTable.addScore('Player', score);
  overText.text = 'Game over, score ' + score;
  overScreen.show();
  engine.log(overText.text + ', best ' + scoreTable.scores(0));
}

function quitGame() {
  music.stop();
  engine.log('Bye');
  applet.terminate();
}
